-- Floating-point arithmetic and field access: the classic n-body simulation of the Jovian
-- planets (symplectic integrator), energy before and after.
local PI = 3.141592653589793
local SOLAR_MASS = 4 * PI * PI
local DAYS_PER_YEAR = 365.24

local function Body(x, y, z, vx, vy, vz, mass)
  return { x = x, y = y, z = z, vx = vx, vy = vy, vz = vz, mass = mass }
end

local function makeBodies()
  local bodies = {
    Body(0.0, 0.0, 0.0, 0.0, 0.0, 0.0, SOLAR_MASS),
    Body(4.84143144246472090e+00, -1.16032004402742839e+00, -1.03622044471123109e-01,
      1.66007664274403694e-03 * DAYS_PER_YEAR, 7.69901118419740425e-03 * DAYS_PER_YEAR,
      -6.90460016972063023e-05 * DAYS_PER_YEAR, 9.54791938424326609e-04 * SOLAR_MASS),
    Body(8.34336671824457987e+00, 4.12479856412430479e+00, -4.03523417114321381e-01,
      -2.76742510726862411e-03 * DAYS_PER_YEAR, 4.99852801234917238e-03 * DAYS_PER_YEAR,
      2.30417297573763929e-05 * DAYS_PER_YEAR, 2.85885980666130812e-04 * SOLAR_MASS),
    Body(1.28943695621391310e+01, -1.51111514016986312e+01, -2.23307578892655734e-01,
      2.96460137564761618e-03 * DAYS_PER_YEAR, 2.37847173959480950e-03 * DAYS_PER_YEAR,
      -2.96589568540237556e-05 * DAYS_PER_YEAR, 4.36624404335156298e-05 * SOLAR_MASS),
    Body(1.53796971148509165e+01, -2.59193146099879641e+01, 1.79258772950371181e-01,
      2.68067772490389322e-03 * DAYS_PER_YEAR, 1.62824170038242295e-03 * DAYS_PER_YEAR,
      -9.51592254519715870e-05 * DAYS_PER_YEAR, 5.15138902046611451e-05 * SOLAR_MASS),
  }
  local px, py, pz = 0.0, 0.0, 0.0
  for i = 1, #bodies do
    local b = bodies[i]
    px = px + b.vx * b.mass
    py = py + b.vy * b.mass
    pz = pz + b.vz * b.mass
  end
  local sun = bodies[1]
  sun.vx = -px / SOLAR_MASS
  sun.vy = -py / SOLAR_MASS
  sun.vz = -pz / SOLAR_MASS
  return bodies
end

local function advance(bodies, dt)
  local count = #bodies
  for i = 1, count do
    local bi = bodies[i]
    for j = i + 1, count do
      local bj = bodies[j]
      local dx = bi.x - bj.x
      local dy = bi.y - bj.y
      local dz = bi.z - bj.z
      local distance2 = dx * dx + dy * dy + dz * dz
      local mag = dt / (distance2 * math.sqrt(distance2))
      local bim = bi.mass * mag
      local bjm = bj.mass * mag
      bi.vx = bi.vx - dx * bjm
      bi.vy = bi.vy - dy * bjm
      bi.vz = bi.vz - dz * bjm
      bj.vx = bj.vx + dx * bim
      bj.vy = bj.vy + dy * bim
      bj.vz = bj.vz + dz * bim
    end
  end
  for k = 1, count do
    local b = bodies[k]
    b.x = b.x + dt * b.vx
    b.y = b.y + dt * b.vy
    b.z = b.z + dt * b.vz
  end
end

local function energy(bodies)
  local e = 0.0
  local count = #bodies
  for i = 1, count do
    local bi = bodies[i]
    e = e + 0.5 * bi.mass * (bi.vx * bi.vx + bi.vy * bi.vy + bi.vz * bi.vz)
    for j = i + 1, count do
      local bj = bodies[j]
      local dx = bi.x - bj.x
      local dy = bi.y - bj.y
      local dz = bi.z - bj.z
      e = e - (bi.mass * bj.mass) / math.sqrt(dx * dx + dy * dy + dz * dz)
    end
  end
  return e
end

-- Rounds half up, as the script interpreters' Math.round does.
local function round(x) return math.floor(x + 0.5) end

local bodies = makeBodies()
local before = energy(bodies)
for step = 1, 100000 do advance(bodies, 0.01) end
local after = energy(bodies)
print(string.format("nbody %d %d", round(before * 1000000000), round(after * 1000000000)))
