// Allocation and the collector: the classic binary-trees benchmark. Many short-lived trees of
// small objects, one long-lived tree, and a recursive walk that counts the nodes.
function TreeNode(left, right) {
  this.left = left;
  this.right = right;
}

TreeNode.prototype.check = function () {
  if (this.left == null) return 1;
  return 1 + this.left.check() + this.right.check();
};

function bottomUpTree(depth) {
  if (depth > 0) return new TreeNode(bottomUpTree(depth - 1), bottomUpTree(depth - 1));
  return new TreeNode(null, null);
}

var minDepth = 4;
var maxDepth = 12;
var result = "";
var stretch = bottomUpTree(maxDepth + 1);
result += stretch.check();
stretch = null;

var longLived = bottomUpTree(maxDepth);
for (var depth = minDepth; depth <= maxDepth; depth += 2) {
  var iterations = 1 << (maxDepth - depth + minDepth);
  var checkSum = 0;
  for (var i = 0; i < iterations; i++) checkSum += bottomUpTree(depth).check();
  result += " " + checkSum;
}
result += " " + longLived.check();
print("binarytrees " + result);
