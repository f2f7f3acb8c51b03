-- Integer arithmetic: Collatz sequence lengths (shifts, masks, multiply-add), Euclid's
-- greatest common divisor (remainders) and modular exponentiation.
local function collatzLength(n)
  local steps = 0
  while n ~= 1 do
    if (n & 1) == 0 then n = n >> 1
    else n = 3 * n + 1 end
    steps = steps + 1
  end
  return steps
end

local function gcd(a, b)
  while b ~= 0 do
    local t = a % b
    a = b
    b = t
  end
  return a
end

local function powMod(base, exponent, modulus)
  local result = 1
  base = base % modulus
  while exponent > 0 do
    if (exponent & 1) == 1 then result = (result * base) % modulus end
    base = (base * base) % modulus
    exponent = exponent >> 1
  end
  return result
end

local longest, longestStart, totalSteps = 0, 0, 0
for i = 1, 29999 do
  local length = collatzLength(i)
  totalSteps = totalSteps + length
  if length > longest then
    longest = length
    longestStart = i
  end
end

local gcdSum = 0
for a = 1, 299 do
  for b = 1, 299 do gcdSum = gcdSum + gcd(a, b) end
end

local powSum = 0
for k = 1, 4999 do powSum = (powSum + powMod(k, 65537 + k, 67108859)) % 67108859 end

print("intarith " .. totalSteps .. " " .. longestStart .. " " .. longest .. " " .. gcdSum .. " " .. powSum)
