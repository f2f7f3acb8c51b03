-- Tables as arrays: appends, indexed reads and writes, and sort. Pseudo-random integers
-- (Park-Miller) are appended, sorted by a comparison function, heap-sorted by hand through
-- indexing, sorted in text order, and the results are checked and summed.
local function fillRandom(count, seed)
  local values = {}
  for i = 1, count do
    seed = (seed * 16807) % 2147483647
    values[#values + 1] = seed % 100000
  end
  return values
end

local function lessNumber(a, b) return a < b end
local function lessText(a, b) return tostring(a) < tostring(b) end

local function siftDown(a, start, finish)
  local root = start
  while root * 2 <= finish do
    local child = root * 2
    if child + 1 <= finish and a[child] < a[child + 1] then child = child + 1 end
    if a[root] < a[child] then
      a[root], a[child] = a[child], a[root]
      root = child
    else
      return
    end
  end
end

local function heapSort(a)
  local count = #a
  for start = count // 2, 1, -1 do siftDown(a, start, count) end
  for finish = count, 2, -1 do
    a[finish], a[1] = a[1], a[finish]
    siftDown(a, 1, finish - 1)
  end
end

local function orderedChecksum(a)
  local sum = 0
  for i = 1, #a do
    if i > 1 and a[i - 1] > a[i] then return -1 end
    sum = (sum * 31 + a[i]) % 1000000007
  end
  return sum
end

local function textChecksum(a)
  local sum = 0
  for i = 1, #a, 97 do sum = (sum * 31 + a[i]) % 1000000007 end
  return sum
end

local builtinSum, heapSum, textSum = 0, 0, 0
for round = 0, 15 do
  local values = fillRandom(4000, round + 1)
  table.sort(values, lessNumber)
  builtinSum = (builtinSum + orderedChecksum(values)) % 1000000007

  values = fillRandom(4000, round + 101)
  heapSort(values)
  heapSum = (heapSum + orderedChecksum(values)) % 1000000007

  values = fillRandom(4000, round + 201)
  table.sort(values, lessText)
  textSum = (textSum + textChecksum(values)) % 1000000007
end
print("sort " .. builtinSum .. " " .. heapSum .. " " .. textSum)
