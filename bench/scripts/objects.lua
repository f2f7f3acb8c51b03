-- Field access on tables: fields read and written through methods found through a metatable,
-- a table constructor's fields in a loop, and a table used as a dictionary with computed
-- string keys.
local Account = {}
Account.__index = Account

function Account.new(id)
  return setmetatable({ id = id, balance = 0, deposits = 0, withdrawals = 0, history = 0 }, Account)
end

function Account:deposit(amount)
  self.balance = self.balance + amount
  self.deposits = self.deposits + 1
  self.history = (self.history * 31 + amount) % 1000003
end

function Account:withdraw(amount)
  if self.balance >= amount then
    self.balance = self.balance - amount
    self.withdrawals = self.withdrawals + 1
    return true
  end
  return false
end

local function bank(rounds)
  local accounts = {}
  for i = 0, 63 do accounts[i] = Account.new(i) end
  local seed, refused = 42, 0
  for r = 1, rounds do
    seed = (seed * 16807) % 2147483647
    local account = accounts[seed % 64]
    if (seed & 3) == 0 then
      if not account:withdraw(seed % 1000) then refused = refused + 1 end
    else
      account:deposit(seed % 500)
    end
  end
  local sum = refused
  for k = 0, 63 do
    local a = accounts[k]
    sum = (sum * 7 + a.balance + a.deposits * 3 + a.withdrawals * 5 + a.history + a.id) % 1000000007
  end
  return sum
end

local function literalFields(rounds)
  local config = { alpha = 1, beta = 2, gamma = 3, delta = 4, epsilon = 5, zeta = 6, eta = 7, theta = 8 }
  local sum = 0
  for r = 0, rounds - 1 do
    sum = sum + config.alpha + config.theta - config.beta
    config.gamma = (config.gamma + config.delta + config.zeta) % 1000
    config.eta = config.epsilon + (r & 7)
    sum = (sum + config.gamma * config.eta) % 1000000007
  end
  return sum
end

local function dictionary(rounds)
  local names = {}
  for i = 0, 199 do names[#names + 1] = "key" .. i end
  local dict = {}
  for j = 1, #names do dict[names[j]] = j - 1 end
  local sum = 0
  for r = 0, rounds - 1 do
    for k = 1, #names do
      local name = names[k]
      dict[name] = (dict[name] + r) % 65536
      sum = sum + dict[name]
    end
  end
  return sum
end

print("objects " .. bank(400000) .. " " .. literalFields(400000) .. " " .. dictionary(1000))
