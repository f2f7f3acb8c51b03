// Floating-point arithmetic and property access: the classic n-body simulation of the Jovian
// planets (symplectic integrator), energy before and after.
var PI = 3.141592653589793;
var SOLAR_MASS = 4 * PI * PI;
var DAYS_PER_YEAR = 365.24;

function Body(x, y, z, vx, vy, vz, mass) {
  this.x = x;
  this.y = y;
  this.z = z;
  this.vx = vx;
  this.vy = vy;
  this.vz = vz;
  this.mass = mass;
}

Body.prototype.offsetMomentum = function (px, py, pz) {
  this.vx = -px / SOLAR_MASS;
  this.vy = -py / SOLAR_MASS;
  this.vz = -pz / SOLAR_MASS;
};

function makeBodies() {
  var bodies = [];
  bodies.push(new Body(0.0, 0.0, 0.0, 0.0, 0.0, 0.0, SOLAR_MASS));
  bodies.push(new Body(4.84143144246472090e+00, -1.16032004402742839e+00, -1.03622044471123109e-01,
      1.66007664274403694e-03 * DAYS_PER_YEAR, 7.69901118419740425e-03 * DAYS_PER_YEAR,
      -6.90460016972063023e-05 * DAYS_PER_YEAR, 9.54791938424326609e-04 * SOLAR_MASS));
  bodies.push(new Body(8.34336671824457987e+00, 4.12479856412430479e+00, -4.03523417114321381e-01,
      -2.76742510726862411e-03 * DAYS_PER_YEAR, 4.99852801234917238e-03 * DAYS_PER_YEAR,
      2.30417297573763929e-05 * DAYS_PER_YEAR, 2.85885980666130812e-04 * SOLAR_MASS));
  bodies.push(new Body(1.28943695621391310e+01, -1.51111514016986312e+01, -2.23307578892655734e-01,
      2.96460137564761618e-03 * DAYS_PER_YEAR, 2.37847173959480950e-03 * DAYS_PER_YEAR,
      -2.96589568540237556e-05 * DAYS_PER_YEAR, 4.36624404335156298e-05 * SOLAR_MASS));
  bodies.push(new Body(1.53796971148509165e+01, -2.59193146099879641e+01, 1.79258772950371181e-01,
      2.68067772490389322e-03 * DAYS_PER_YEAR, 1.62824170038242295e-03 * DAYS_PER_YEAR,
      -9.51592254519715870e-05 * DAYS_PER_YEAR, 5.15138902046611451e-05 * SOLAR_MASS));
  var px = 0.0;
  var py = 0.0;
  var pz = 0.0;
  for (var i = 0; i < bodies.length; i++) {
    var b = bodies[i];
    px += b.vx * b.mass;
    py += b.vy * b.mass;
    pz += b.vz * b.mass;
  }
  bodies[0].offsetMomentum(px, py, pz);
  return bodies;
}

function advance(bodies, dt) {
  var count = bodies.length;
  for (var i = 0; i < count; i++) {
    var bi = bodies[i];
    for (var j = i + 1; j < count; j++) {
      var bj = bodies[j];
      var dx = bi.x - bj.x;
      var dy = bi.y - bj.y;
      var dz = bi.z - bj.z;
      var distance2 = dx * dx + dy * dy + dz * dz;
      var mag = dt / (distance2 * Math.sqrt(distance2));
      var bim = bi.mass * mag;
      var bjm = bj.mass * mag;
      bi.vx -= dx * bjm;
      bi.vy -= dy * bjm;
      bi.vz -= dz * bjm;
      bj.vx += dx * bim;
      bj.vy += dy * bim;
      bj.vz += dz * bim;
    }
  }
  for (var k = 0; k < count; k++) {
    var b = bodies[k];
    b.x += dt * b.vx;
    b.y += dt * b.vy;
    b.z += dt * b.vz;
  }
}

function energy(bodies) {
  var e = 0.0;
  var count = bodies.length;
  for (var i = 0; i < count; i++) {
    var bi = bodies[i];
    e += 0.5 * bi.mass * (bi.vx * bi.vx + bi.vy * bi.vy + bi.vz * bi.vz);
    for (var j = i + 1; j < count; j++) {
      var bj = bodies[j];
      var dx = bi.x - bj.x;
      var dy = bi.y - bj.y;
      var dz = bi.z - bj.z;
      e -= (bi.mass * bj.mass) / Math.sqrt(dx * dx + dy * dy + dz * dz);
    }
  }
  return e;
}

var bodies = makeBodies();
var before = energy(bodies);
for (var step = 0; step < 100000; step++) advance(bodies, 0.01);
var after = energy(bodies);
// Energies as integers (nano-units), so every interpreter prints the same digits.
print("nbody " + Math.round(before * 1000000000) + " " + Math.round(after * 1000000000));
