// String building: a text grown piece by piece with += (numbers turned into text on the way),
// whole strings concatenated with +, and the result read back with charCodeAt.
function buildLog(lines) {
  var text = "";
  for (var i = 0; i < lines; i++) {
    text += "line " + i + ": value=" + (i * 7 % 1000) + ";";
    if (i % 10 == 9) text += "\n";
  }
  return text;
}

function textChecksum(text) {
  var sum = text.length;
  for (var i = 0; i < text.length; i += 97) sum = (sum * 31 + text.charCodeAt(i)) % 1000000007;
  return sum;
}

function joinPairs(count) {
  var left = "abc";
  var right = "xyz";
  var total = 0;
  for (var i = 0; i < count; i++) {
    var both = left + i + right;
    var twice = both + both;
    total += twice.length + twice.charCodeAt(3);
  }
  return total;
}

var checksum = 0;
for (var round = 0; round < 30; round++) {
  checksum = (checksum + textChecksum(buildLog(2500 + round))) % 1000000007;
}
print("strbuild " + checksum + " " + joinPairs(300000));
