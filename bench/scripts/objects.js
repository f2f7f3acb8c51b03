// Property access on objects: fields read and written through methods found on the
// constructor's prototype, an object literal's fields in a loop, and an object used as a
// dictionary with computed string keys.
function Account(id) {
  this.id = id;
  this.balance = 0;
  this.deposits = 0;
  this.withdrawals = 0;
  this.history = 0;
}

Account.prototype.deposit = function (amount) {
  this.balance += amount;
  this.deposits++;
  this.history = (this.history * 31 + amount) % 1000003;
};

Account.prototype.withdraw = function (amount) {
  if (this.balance >= amount) {
    this.balance -= amount;
    this.withdrawals++;
    return true;
  }
  return false;
};

function bank(rounds) {
  var accounts = [];
  for (var i = 0; i < 64; i++) accounts.push(new Account(i));
  var seed = 42;
  var refused = 0;
  for (var r = 0; r < rounds; r++) {
    seed = (seed * 16807) % 2147483647;
    var account = accounts[seed % 64];
    if ((seed & 3) == 0) {
      if (!account.withdraw(seed % 1000)) refused++;
    } else {
      account.deposit(seed % 500);
    }
  }
  var sum = refused;
  for (var k = 0; k < accounts.length; k++) {
    var a = accounts[k];
    sum = (sum * 7 + a.balance + a.deposits * 3 + a.withdrawals * 5 + a.history + a.id) % 1000000007;
  }
  return sum;
}

function literalFields(rounds) {
  var config = { alpha: 1, beta: 2, gamma: 3, delta: 4, epsilon: 5, zeta: 6, eta: 7, theta: 8 };
  var sum = 0;
  for (var r = 0; r < rounds; r++) {
    sum += config.alpha + config.theta - config.beta;
    config.gamma = (config.gamma + config.delta + config.zeta) % 1000;
    config.eta = config.epsilon + (r & 7);
    sum = (sum + config.gamma * config.eta) % 1000000007;
  }
  return sum;
}

function dictionary(rounds) {
  var names = [];
  for (var i = 0; i < 200; i++) names.push("key" + i);
  var dict = {};
  for (var j = 0; j < names.length; j++) dict[names[j]] = j;
  var sum = 0;
  for (var r = 0; r < rounds; r++) {
    for (var k = 0; k < names.length; k++) {
      var name = names[k];
      dict[name] = (dict[name] + r) % 65536;
      sum += dict[name];
    }
  }
  return sum;
}

print("objects " + bank(400000) + " " + literalFields(400000) + " " + dictionary(1000));
