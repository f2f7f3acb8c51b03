-- A mixed workload: the classic Richards operating-system simulation (task scheduler, packet
-- queues, table fields and method calls, small-integer bit flags), run many times.
local ID_IDLE, ID_WORKER, ID_HANDLER_A, ID_HANDLER_B, ID_DEVICE_A, ID_DEVICE_B = 0, 1, 2, 3, 4, 5
local KIND_DEVICE, KIND_WORK = 0, 1
local DATA_SIZE = 4

local STATE_RUNNING = 0
local STATE_RUNNABLE = 1
local STATE_SUSPENDED = 2
local STATE_HELD = 4
local STATE_SUSPENDED_RUNNABLE = 3
local STATE_NOT_HELD = -5

local function class()
  local c = {}
  c.__index = c
  return c
end

local Scheduler, TaskControlBlock = class(), class()
local IdleTask, DeviceTask, WorkerTask, HandlerTask, Packet = class(), class(), class(), class(), class()

function Scheduler.new()
  return setmetatable({ queueCount = 0, holdCount = 0, blocks = {}, list = nil,
    currentTcb = nil, currentId = 0 }, Scheduler)
end

function Scheduler:addIdleTask(id, priority, queue, count)
  self:addRunningTask(id, priority, queue, IdleTask.new(self, 1, count))
end

function Scheduler:addWorkerTask(id, priority, queue)
  self:addTask(id, priority, queue, WorkerTask.new(self, ID_HANDLER_A, 0))
end

function Scheduler:addHandlerTask(id, priority, queue)
  self:addTask(id, priority, queue, HandlerTask.new(self))
end

function Scheduler:addDeviceTask(id, priority, queue)
  self:addTask(id, priority, queue, DeviceTask.new(self))
end

function Scheduler:addRunningTask(id, priority, queue, task)
  self:addTask(id, priority, queue, task)
  self.currentTcb:setRunning()
end

function Scheduler:addTask(id, priority, queue, task)
  self.currentTcb = TaskControlBlock.new(self.list, id, priority, queue, task)
  self.list = self.currentTcb
  self.blocks[id] = self.currentTcb
end

function Scheduler:schedule()
  self.currentTcb = self.list
  while self.currentTcb ~= nil do
    if self.currentTcb:isHeldOrSuspended() then
      self.currentTcb = self.currentTcb.link
    else
      self.currentId = self.currentTcb.id
      self.currentTcb = self.currentTcb:run()
    end
  end
end

function Scheduler:release(id)
  local tcb = self.blocks[id]
  if tcb == nil then return tcb end
  tcb:markAsNotHeld()
  if tcb.priority > self.currentTcb.priority then return tcb end
  return self.currentTcb
end

function Scheduler:holdCurrent()
  self.holdCount = self.holdCount + 1
  self.currentTcb:markAsHeld()
  return self.currentTcb.link
end

function Scheduler:suspendCurrent()
  self.currentTcb:markAsSuspended()
  return self.currentTcb
end

function Scheduler:queue(packet)
  local t = self.blocks[packet.id]
  if t == nil then return t end
  self.queueCount = self.queueCount + 1
  packet.link = nil
  packet.id = self.currentId
  return t:checkPriorityAdd(self.currentTcb, packet)
end

function TaskControlBlock.new(link, id, priority, queue, task)
  local state = STATE_SUSPENDED_RUNNABLE
  if queue == nil then state = STATE_SUSPENDED end
  return setmetatable({ link = link, id = id, priority = priority, queue = queue, task = task,
    state = state }, TaskControlBlock)
end

function TaskControlBlock:setRunning() self.state = STATE_RUNNING end
function TaskControlBlock:markAsNotHeld() self.state = self.state & STATE_NOT_HELD end
function TaskControlBlock:markAsHeld() self.state = self.state | STATE_HELD end
function TaskControlBlock:isHeldOrSuspended()
  return (self.state & STATE_HELD) ~= 0 or self.state == STATE_SUSPENDED
end
function TaskControlBlock:markAsSuspended() self.state = self.state | STATE_SUSPENDED end
function TaskControlBlock:markAsRunnable() self.state = self.state | STATE_RUNNABLE end

function TaskControlBlock:run()
  local packet
  if self.state == STATE_SUSPENDED_RUNNABLE then
    packet = self.queue
    self.queue = packet.link
    if self.queue == nil then self.state = STATE_RUNNING
    else self.state = STATE_RUNNABLE end
  else
    packet = nil
  end
  return self.task:run(packet)
end

function TaskControlBlock:checkPriorityAdd(task, packet)
  if self.queue == nil then
    self.queue = packet
    self:markAsRunnable()
    if self.priority > task.priority then return self end
  else
    self.queue = packet:addTo(self.queue)
  end
  return task
end

function IdleTask.new(scheduler, v1, count)
  return setmetatable({ scheduler = scheduler, v1 = v1, count = count }, IdleTask)
end

function IdleTask:run(packet)
  self.count = self.count - 1
  if self.count == 0 then return self.scheduler:holdCurrent() end
  if (self.v1 & 1) == 0 then
    self.v1 = self.v1 >> 1
    return self.scheduler:release(ID_DEVICE_A)
  end
  self.v1 = (self.v1 >> 1) ~ 0xD008
  return self.scheduler:release(ID_DEVICE_B)
end

function DeviceTask.new(scheduler)
  return setmetatable({ scheduler = scheduler, v1 = nil }, DeviceTask)
end

function DeviceTask:run(packet)
  if packet == nil then
    if self.v1 == nil then return self.scheduler:suspendCurrent() end
    local v = self.v1
    self.v1 = nil
    return self.scheduler:queue(v)
  end
  self.v1 = packet
  return self.scheduler:holdCurrent()
end

function WorkerTask.new(scheduler, v1, v2)
  return setmetatable({ scheduler = scheduler, v1 = v1, v2 = v2 }, WorkerTask)
end

function WorkerTask:run(packet)
  if packet == nil then return self.scheduler:suspendCurrent() end
  if self.v1 == ID_HANDLER_A then self.v1 = ID_HANDLER_B
  else self.v1 = ID_HANDLER_A end
  packet.id = self.v1
  packet.a1 = 0
  for i = 0, DATA_SIZE - 1 do
    self.v2 = self.v2 + 1
    if self.v2 > 26 then self.v2 = 1 end
    packet.a2[i] = self.v2
  end
  return self.scheduler:queue(packet)
end

function HandlerTask.new(scheduler)
  return setmetatable({ scheduler = scheduler, v1 = nil, v2 = nil }, HandlerTask)
end

function HandlerTask:run(packet)
  if packet ~= nil then
    if packet.kind == KIND_WORK then self.v1 = packet:addTo(self.v1)
    else self.v2 = packet:addTo(self.v2) end
  end
  if self.v1 ~= nil then
    local count = self.v1.a1
    local v
    if count < DATA_SIZE then
      if self.v2 ~= nil then
        v = self.v2
        self.v2 = self.v2.link
        v.a1 = self.v1.a2[count]
        self.v1.a1 = count + 1
        return self.scheduler:queue(v)
      end
    else
      v = self.v1
      self.v1 = self.v1.link
      return self.scheduler:queue(v)
    end
  end
  return self.scheduler:suspendCurrent()
end

function Packet.new(link, id, kind)
  return setmetatable({ link = link, id = id, kind = kind, a1 = 0, a2 = {} }, Packet)
end

function Packet:addTo(queue)
  self.link = nil
  if queue == nil then return self end
  local next = queue
  local peek = next.link
  while peek ~= nil do
    next = peek
    peek = next.link
  end
  next.link = self
  return queue
end

local function runRichards()
  local scheduler = Scheduler.new()
  scheduler:addIdleTask(ID_IDLE, 0, nil, 1000)

  local queue = Packet.new(nil, ID_WORKER, KIND_WORK)
  queue = Packet.new(queue, ID_WORKER, KIND_WORK)
  scheduler:addWorkerTask(ID_WORKER, 1000, queue)

  queue = Packet.new(nil, ID_DEVICE_A, KIND_DEVICE)
  queue = Packet.new(queue, ID_DEVICE_A, KIND_DEVICE)
  queue = Packet.new(queue, ID_DEVICE_A, KIND_DEVICE)
  scheduler:addHandlerTask(ID_HANDLER_A, 2000, queue)

  queue = Packet.new(nil, ID_DEVICE_B, KIND_DEVICE)
  queue = Packet.new(queue, ID_DEVICE_B, KIND_DEVICE)
  queue = Packet.new(queue, ID_DEVICE_B, KIND_DEVICE)
  scheduler:addHandlerTask(ID_HANDLER_B, 3000, queue)

  scheduler:addDeviceTask(ID_DEVICE_A, 4000, nil)
  scheduler:addDeviceTask(ID_DEVICE_B, 5000, nil)

  scheduler:schedule()
  return scheduler.queueCount * 10000 + scheduler.holdCount
end

local total, last = 0, 0
for run = 1, 40 do
  last = runRichards()
  total = total + last
end
print("richards " .. last .. " " .. total)
