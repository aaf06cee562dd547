-- int_loop.lua - integer loop with arithmetic and IF (reference for bench_plsql).
local n = tonumber(arg[1])
local s = 0
for i = 1, n do
  if i % 3 == 0 then
    s = s + i
  else
    s = s - 1
  end
end
print(s)
