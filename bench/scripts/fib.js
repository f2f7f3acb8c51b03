// Calls and recursion: the doubly recursive Fibonacci function and Takeuchi's function.
function fib(n) {
  if (n < 2) return n;
  return fib(n - 1) + fib(n - 2);
}

function tak(x, y, z) {
  if (y >= x) return z;
  return tak(tak(x - 1, y, z), tak(y - 1, z, x), tak(z - 1, x, y));
}

print("fib " + fib(30) + " tak " + tak(24, 16, 8));
