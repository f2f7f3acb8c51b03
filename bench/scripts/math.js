// The Math object: trigonometry, roots, powers, logarithms, rounding and min/max in a loop,
// summed into one floating total printed in thousandths.
function mathMix(count) {
  var total = 0.0;
  var rounded = 0;
  for (var i = 1; i <= count; i++) {
    var x = i * 0.001;
    total += Math.sin(x) * Math.cos(x) + Math.sqrt(x);
    total += Math.atan2(x, 1.5) - Math.atan(x) * 0.5;
    total += Math.exp(-x) + Math.log(x + 1.0);
    total += Math.pow(x, 1.5) * 0.01 + Math.abs(Math.sin(x * 3.0));
    total += Math.max(x, 0.5, Math.cos(x)) - Math.min(x, 0.25);
    total += Math.floor(x * 10.0) * 0.1 - Math.ceil(x * 7.0) * 0.1;
    rounded += Math.round(x * 100.0);
  }
  return Math.round(total * 1000) + " " + rounded;
}

print("math " + mathMix(250000));
