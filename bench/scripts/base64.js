// A mixed string workload after the classic base64 benchmark: a byte string is encoded with
// charCodeAt, shifts and masks and a character table, then decoded through a lookup array,
// and the round trip is compared.
var TO_BASE64 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

function makeFromBase64() {
  var table = [];
  for (var i = 0; i < 128; i++) table.push(-1);
  for (var k = 0; k < TO_BASE64.length; k++) table[TO_BASE64.charCodeAt(k)] = k;
  return table;
}

var FROM_BASE64 = makeFromBase64();

function toBase64(data) {
  var result = "";
  var length = data.length;
  var i;
  for (i = 0; i + 2 < length; i += 3) {
    var triple = (data.charCodeAt(i) << 16) | (data.charCodeAt(i + 1) << 8) | data.charCodeAt(i + 2);
    result += TO_BASE64.charAt((triple >> 18) & 63);
    result += TO_BASE64.charAt((triple >> 12) & 63);
    result += TO_BASE64.charAt((triple >> 6) & 63);
    result += TO_BASE64.charAt(triple & 63);
  }
  if (length % 3 != 0) {
    var rest = data.charCodeAt(i) << 16;
    if (length % 3 == 2) rest = rest | (data.charCodeAt(i + 1) << 8);
    result += TO_BASE64.charAt((rest >> 18) & 63);
    result += TO_BASE64.charAt((rest >> 12) & 63);
    if (length % 3 == 2) result += TO_BASE64.charAt((rest >> 6) & 63);
    else result += "=";
    result += "=";
  }
  return result;
}

function fromBase64(text) {
  var result = "";
  var bits = 0;
  var bitCount = 0;
  for (var i = 0; i < text.length; i++) {
    var code = text.charCodeAt(i);
    if (code == 61) break;
    bits = ((bits << 6) | FROM_BASE64[code]) & 16777215;
    bitCount += 6;
    if (bitCount >= 8) {
      bitCount -= 8;
      result += String.fromCharCode((bits >> bitCount) & 255);
    }
  }
  return result;
}

function makeData(length, seed) {
  var pieces = [];
  for (var i = 0; i < length; i++) {
    seed = (seed * 16807) % 2147483647;
    pieces.push(String.fromCharCode(seed & 255));
  }
  return pieces.join("");
}

var checksum = 0;
for (var round = 0; round < 100; round++) {
  var data = makeData(1500 + round, round + 1);
  var encoded = toBase64(data);
  var decoded = fromBase64(encoded);
  if (decoded != data) checksum = -1000000;
  checksum += encoded.length + encoded.charCodeAt(round * 5) + encoded.charCodeAt(encoded.length - 3);
}
print("base64 " + checksum);
