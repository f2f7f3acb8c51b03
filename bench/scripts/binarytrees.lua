-- Allocation and the collector: the classic binary-trees benchmark. Many short-lived trees of
-- small tables, one long-lived tree, and a recursive walk that counts the nodes.
local function check(node)
  if node.left == nil then return 1 end
  return 1 + check(node.left) + check(node.right)
end

local function bottomUpTree(depth)
  if depth > 0 then
    return { left = bottomUpTree(depth - 1), right = bottomUpTree(depth - 1) }
  end
  return { left = nil, right = nil }
end

local minDepth, maxDepth = 4, 12
local result = tostring(check(bottomUpTree(maxDepth + 1)))

local longLived = bottomUpTree(maxDepth)
for depth = minDepth, maxDepth, 2 do
  local iterations = 1 << (maxDepth - depth + minDepth)
  local sum = 0
  for i = 1, iterations do sum = sum + check(bottomUpTree(depth)) end
  result = result .. " " .. sum
end
result = result .. " " .. check(longLived)
print("binarytrees " .. result)
