-- Calls and recursion: the doubly recursive Fibonacci function and Takeuchi's function.
local function fib(n)
  if n < 2 then return n end
  return fib(n - 1) + fib(n - 2)
end

local function tak(x, y, z)
  if y >= x then return z end
  return tak(tak(x - 1, y, z), tak(y - 1, z, x), tak(z - 1, x, y))
end

print("fib " .. fib(30) .. " tak " .. tak(24, 16, 8))
