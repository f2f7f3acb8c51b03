// Floating-point arithmetic in tight loops: the Mandelbrot set as a bitmap (the classic
// benchmark's bit packing), 50 iterations per point, a checksum over the packed bytes.
function mandelbrot(size) {
  var inside = 0;
  var checksum = 0;
  var bits = 0;
  var bitCount = 0;
  for (var y = 0; y < size; y++) {
    var ci = 2.0 * y / size - 1.0;
    for (var x = 0; x < size; x++) {
      var cr = 2.0 * x / size - 1.5;
      var zr = 0.0;
      var zi = 0.0;
      var tr = 0.0;
      var ti = 0.0;
      var i = 0;
      while (i < 50 && tr + ti <= 4.0) {
        zi = 2.0 * zr * zi + ci;
        zr = tr - ti + cr;
        tr = zr * zr;
        ti = zi * zi;
        i++;
      }
      bits = bits << 1;
      if (tr + ti <= 4.0) {
        bits = bits | 1;
        inside++;
      }
      bitCount++;
      if (bitCount == 8) {
        checksum = (checksum * 31 + bits) % 1000000007;
        bits = 0;
        bitCount = 0;
      }
    }
  }
  return inside + " " + checksum;
}

print("mandelbrot " + mandelbrot(640));
