-- A mixed string workload after the classic base64 benchmark: a byte string is encoded with
-- string.byte, shifts and masks and a character table, then decoded through a lookup table,
-- and the round trip is compared.
local TO_BASE64 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/"

local FROM_BASE64 = {}
for i = 0, 127 do FROM_BASE64[i] = -1 end
for k = 0, #TO_BASE64 - 1 do FROM_BASE64[string.byte(TO_BASE64, k + 1)] = k end

local function charAt(text, index) return string.sub(text, index + 1, index + 1) end

local function toBase64(data)
  local result = ""
  local length = #data
  local i = 0
  while i + 2 < length do
    local b1, b2, b3 = string.byte(data, i + 1, i + 3)
    local triple = (b1 << 16) | (b2 << 8) | b3
    result = result .. charAt(TO_BASE64, (triple >> 18) & 63)
    result = result .. charAt(TO_BASE64, (triple >> 12) & 63)
    result = result .. charAt(TO_BASE64, (triple >> 6) & 63)
    result = result .. charAt(TO_BASE64, triple & 63)
    i = i + 3
  end
  if length % 3 ~= 0 then
    local rest = string.byte(data, i + 1) << 16
    if length % 3 == 2 then rest = rest | (string.byte(data, i + 2) << 8) end
    result = result .. charAt(TO_BASE64, (rest >> 18) & 63)
    result = result .. charAt(TO_BASE64, (rest >> 12) & 63)
    if length % 3 == 2 then result = result .. charAt(TO_BASE64, (rest >> 6) & 63)
    else result = result .. "=" end
    result = result .. "="
  end
  return result
end

local function fromBase64(text)
  local result = ""
  local bits, bitCount = 0, 0
  for i = 1, #text do
    local code = string.byte(text, i)
    if code == 61 then break end
    bits = ((bits << 6) | FROM_BASE64[code]) & 16777215
    bitCount = bitCount + 6
    if bitCount >= 8 then
      bitCount = bitCount - 8
      result = result .. string.char((bits >> bitCount) & 255)
    end
  end
  return result
end

local function makeData(length, seed)
  local pieces = {}
  for i = 1, length do
    seed = (seed * 16807) % 2147483647
    pieces[i] = string.char(seed & 255)
  end
  return table.concat(pieces, "")
end

local checksum = 0
for round = 0, 99 do
  local data = makeData(1500 + round, round + 1)
  local encoded = toBase64(data)
  local decoded = fromBase64(encoded)
  if decoded ~= data then checksum = -1000000 end
  checksum = checksum + #encoded + string.byte(encoded, round * 5 + 1) + string.byte(encoded, #encoded - 2)
end
print("base64 " .. checksum)
