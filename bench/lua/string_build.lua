-- string_build.lua - string building by concatenation (reference for bench_plsql).
local n = tonumber(arg[1])
local s = ""
local total = 0
for i = 1, n do
  s = s .. "x" .. tostring(i % 10)
  if i % 100 == 0 then
    total = total + #s
    s = ""
  end
end
print(total)
