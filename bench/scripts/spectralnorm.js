// Floating-point arithmetic over arrays: the spectral norm of an infinite matrix by the power
// method (the classic benchmark, n = 350).
function matrixEntry(i, j) {
  return 1.0 / ((i + j) * (i + j + 1) / 2 + i + 1);
}

function multiplyAv(n, v, av) {
  for (var i = 0; i < n; i++) {
    var sum = 0.0;
    for (var j = 0; j < n; j++) sum += matrixEntry(i, j) * v[j];
    av[i] = sum;
  }
}

function multiplyAtv(n, v, atv) {
  for (var i = 0; i < n; i++) {
    var sum = 0.0;
    for (var j = 0; j < n; j++) sum += matrixEntry(j, i) * v[j];
    atv[i] = sum;
  }
}

function multiplyAtAv(n, v, atav, scratch) {
  multiplyAv(n, v, scratch);
  multiplyAtv(n, scratch, atav);
}

function spectralNorm(n) {
  var u = [];
  var v = [];
  var scratch = [];
  for (var i = 0; i < n; i++) {
    u.push(1.0);
    v.push(0.0);
    scratch.push(0.0);
  }
  for (var round = 0; round < 10; round++) {
    multiplyAtAv(n, u, v, scratch);
    multiplyAtAv(n, v, u, scratch);
  }
  var vBv = 0.0;
  var vv = 0.0;
  for (var k = 0; k < n; k++) {
    vBv += u[k] * v[k];
    vv += v[k] * v[k];
  }
  return Math.sqrt(vBv / vv);
}

print("spectralnorm " + Math.round(spectralNorm(350) * 1000000000));
