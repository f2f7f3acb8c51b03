// Arrays: push, indexed reads and writes, and sort. Pseudo-random integers (Park-Miller) are
// pushed, sorted by a comparison function, heap-sorted by hand through indexing, sorted by the
// default (text) order, and the results are checked and summed.
function fillRandom(count, seed) {
  var values = [];
  for (var i = 0; i < count; i++) {
    seed = (seed * 16807) % 2147483647;
    values.push(seed % 100000);
  }
  return values;
}

function compareNumbers(a, b) {
  return a - b;
}

function siftDown(a, start, end) {
  var root = start;
  while (root * 2 + 1 <= end) {
    var child = root * 2 + 1;
    if (child + 1 <= end && a[child] < a[child + 1]) child++;
    if (a[root] < a[child]) {
      var t = a[root];
      a[root] = a[child];
      a[child] = t;
      root = child;
    } else {
      return;
    }
  }
}

function heapSort(a) {
  var count = a.length;
  for (var start = (count - 2) >> 1; start >= 0; start--) siftDown(a, start, count - 1);
  for (var end = count - 1; end > 0; end--) {
    var t = a[end];
    a[end] = a[0];
    a[0] = t;
    siftDown(a, 0, end - 1);
  }
}

function orderedChecksum(a) {
  var sum = 0;
  for (var i = 0; i < a.length; i++) {
    if (i > 0 && a[i - 1] > a[i]) return -1;
    sum = (sum * 31 + a[i]) % 1000000007;
  }
  return sum;
}

function textChecksum(a) {
  var sum = 0;
  for (var i = 0; i < a.length; i += 97) sum = (sum * 31 + a[i]) % 1000000007;
  return sum;
}

var builtinSum = 0;
var heapSum = 0;
var textSum = 0;
for (var round = 0; round < 16; round++) {
  var values = fillRandom(4000, round + 1);
  values.sort(compareNumbers);
  builtinSum = (builtinSum + orderedChecksum(values)) % 1000000007;

  values = fillRandom(4000, round + 101);
  heapSort(values);
  heapSum = (heapSum + orderedChecksum(values)) % 1000000007;

  values = fillRandom(4000, round + 201);
  values.sort();
  textSum = (textSum + textChecksum(values)) % 1000000007;
}
print("sort " + builtinSum + " " + heapSum + " " + textSum);
