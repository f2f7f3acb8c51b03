// String search and splitting: a text of pseudo-random words is split and joined again,
// searched with indexOf and lastIndexOf, cut with substring and mapped to upper case.
var WORDS = ["alpha", "beta", "gamma", "delta", "epsilon", "zeta", "eta", "theta",
  "iota", "kappa", "lambda", "mu", "omicron", "sigma", "omega"];

function makeText(count, seed) {
  var parts = [];
  for (var i = 0; i < count; i++) {
    seed = (seed * 16807) % 2147483647;
    parts.push(WORDS[seed % WORDS.length]);
  }
  return parts.join(" ");
}

function countOccurrences(text, word) {
  var count = 0;
  var position = text.indexOf(word, 0);
  while (position >= 0) {
    count++;
    position = text.indexOf(word, position + word.length);
  }
  return count;
}

function stringOps(rounds) {
  var text = makeText(2000, 7);
  var sum = text.length;
  for (var r = 0; r < rounds; r++) {
    var words = text.split(" ");
    sum += words.length;
    var joined = words.join(", ");
    sum += joined.length;
    var pieces = joined.split("ta, ");
    sum += pieces.length + pieces[pieces.length - 1].length;
    var word = WORDS[r % WORDS.length];
    sum += countOccurrences(text, word);
    sum += text.lastIndexOf(word);
    var cut = text.substring(r * 7, r * 7 + 60);
    sum += cut.indexOf("a") + cut.toUpperCase().charCodeAt(5);
    sum = sum % 1000000007;
  }
  return sum;
}

print("strops " + stringOps(800));
