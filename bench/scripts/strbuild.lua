-- String building: a text grown piece by piece with .. (numbers turned into text on the way),
-- whole strings concatenated, and the result read back with string.byte.
local function buildLog(lines)
  local text = ""
  for i = 0, lines - 1 do
    text = text .. "line " .. i .. ": value=" .. (i * 7 % 1000) .. ";"
    if i % 10 == 9 then text = text .. "\n" end
  end
  return text
end

local function textChecksum(text)
  local sum = #text
  for i = 1, #text, 97 do sum = (sum * 31 + string.byte(text, i)) % 1000000007 end
  return sum
end

local function joinPairs(count)
  local left, right = "abc", "xyz"
  local total = 0
  for i = 0, count - 1 do
    local both = left .. i .. right
    local twice = both .. both
    total = total + #twice + string.byte(twice, 4)
  end
  return total
end

local checksum = 0
for round = 0, 29 do
  checksum = (checksum + textChecksum(buildLog(2500 + round))) % 1000000007
end
print("strbuild " .. checksum .. " " .. joinPairs(300000))
