// Integer arithmetic: Collatz sequence lengths (shifts, masks, multiply-add), Euclid's
// greatest common divisor (remainders) and modular exponentiation. Every intermediate value
// stays below 2^53, so integer and double arithmetic give the same results.
function collatzLength(n) {
  var steps = 0;
  while (n != 1) {
    if ((n & 1) == 0) n = n >> 1;
    else n = 3 * n + 1;
    steps++;
  }
  return steps;
}

function gcd(a, b) {
  while (b != 0) {
    var t = a % b;
    a = b;
    b = t;
  }
  return a;
}

function powMod(base, exponent, modulus) {
  var result = 1;
  base = base % modulus;
  while (exponent > 0) {
    if ((exponent & 1) == 1) result = (result * base) % modulus;
    base = (base * base) % modulus;
    exponent = exponent >> 1;
  }
  return result;
}

var longest = 0;
var longestStart = 0;
var totalSteps = 0;
for (var i = 1; i < 30000; i++) {
  var length = collatzLength(i);
  totalSteps += length;
  if (length > longest) {
    longest = length;
    longestStart = i;
  }
}

var gcdSum = 0;
for (var a = 1; a < 300; a++) {
  for (var b = 1; b < 300; b++) gcdSum += gcd(a, b);
}

var powSum = 0;
for (var k = 1; k < 5000; k++) powSum = (powSum + powMod(k, 65537 + k, 67108859)) % 67108859;

print("intarith " + totalSteps + " " + longestStart + " " + longest + " " + gcdSum + " " + powSum);
