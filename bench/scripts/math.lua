-- The math library: trigonometry, roots, powers, logarithms, rounding and min/max in a loop,
-- summed into one floating total printed in thousandths.
local function round(x) return math.floor(x + 0.5) end

local function mathMix(count)
  local total, rounded = 0.0, 0
  for i = 1, count do
    local x = i * 0.001
    total = total + math.sin(x) * math.cos(x) + math.sqrt(x)
    total = total + math.atan(x, 1.5) - math.atan(x) * 0.5
    total = total + math.exp(-x) + math.log(x + 1.0)
    total = total + (x ^ 1.5) * 0.01 + math.abs(math.sin(x * 3.0))
    total = total + math.max(x, 0.5, math.cos(x)) - math.min(x, 0.25)
    total = total + math.floor(x * 10.0) * 0.1 - math.ceil(x * 7.0) * 0.1
    rounded = rounded + round(x * 100.0)
  end
  return string.format("%d %d", round(total * 1000), rounded)
end

print("math " .. mathMix(250000))
