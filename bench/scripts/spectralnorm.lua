-- Floating-point arithmetic over arrays: the spectral norm of an infinite matrix by the power
-- method (the classic benchmark, n = 350). Indices run from 0 as in the script versions.
local function matrixEntry(i, j)
  return 1.0 / ((i + j) * (i + j + 1) / 2 + i + 1)
end

local function multiplyAv(n, v, av)
  for i = 0, n - 1 do
    local sum = 0.0
    for j = 0, n - 1 do sum = sum + matrixEntry(i, j) * v[j] end
    av[i] = sum
  end
end

local function multiplyAtv(n, v, atv)
  for i = 0, n - 1 do
    local sum = 0.0
    for j = 0, n - 1 do sum = sum + matrixEntry(j, i) * v[j] end
    atv[i] = sum
  end
end

local function multiplyAtAv(n, v, atav, scratch)
  multiplyAv(n, v, scratch)
  multiplyAtv(n, scratch, atav)
end

local function spectralNorm(n)
  local u, v, scratch = {}, {}, {}
  for i = 0, n - 1 do
    u[i] = 1.0
    v[i] = 0.0
    scratch[i] = 0.0
  end
  for round = 1, 10 do
    multiplyAtAv(n, u, v, scratch)
    multiplyAtAv(n, v, u, scratch)
  end
  local vBv, vv = 0.0, 0.0
  for k = 0, n - 1 do
    vBv = vBv + u[k] * v[k]
    vv = vv + v[k] * v[k]
  end
  return math.sqrt(vBv / vv)
end

print(string.format("spectralnorm %d", math.floor(spectralNorm(350) * 1000000000 + 0.5)))
