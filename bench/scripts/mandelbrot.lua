-- Floating-point arithmetic in tight loops: the Mandelbrot set as a bitmap (the classic
-- benchmark's bit packing), 50 iterations per point, a checksum over the packed bytes.
local function mandelbrot(size)
  local inside, checksum, bits, bitCount = 0, 0, 0, 0
  for y = 0, size - 1 do
    local ci = 2.0 * y / size - 1.0
    for x = 0, size - 1 do
      local cr = 2.0 * x / size - 1.5
      local zr, zi, tr, ti = 0.0, 0.0, 0.0, 0.0
      local i = 0
      while i < 50 and tr + ti <= 4.0 do
        zi = 2.0 * zr * zi + ci
        zr = tr - ti + cr
        tr = zr * zr
        ti = zi * zi
        i = i + 1
      end
      bits = bits << 1
      if tr + ti <= 4.0 then
        bits = bits | 1
        inside = inside + 1
      end
      bitCount = bitCount + 1
      if bitCount == 8 then
        checksum = (checksum * 31 + bits) % 1000000007
        bits = 0
        bitCount = 0
      end
    end
  end
  return inside .. " " .. checksum
end

print("mandelbrot " .. mandelbrot(640))
