-- Compile errors: the compiler's messages with line and column in the order
-- found, ALL_ERRORS rows, the INVALID status, calling an invalid unit, and a
-- recompilation once the cause is fixed.
create or replace procedure gc_syntax is
begin
  if 1 = 1 then
    null;
  end;
end;
/
show errors
create or replace function gc_semantic(p_in in number) return number is
  c_limit constant number := 10;
  v_flag boolean;
  type t_rec is record (a number);
  r t_rec;
begin
  c_limit := 11;
  p_in := 1;
  v_flag := 5;
  r.b := 1;
  gc_missing(1);
  return dbms_output.put_line(1, 2);
end;
/
show errors
select object_name, object_type, status from user_objects where object_name like 'GC\_%' escape '\' order by 1;
begin
  gc_syntax;
end;
/
declare
  v number;
begin
  v := 'abc' +;
end;
/
create or replace procedure gc_syntax is
begin
  null;
end;
/
alter procedure gc_syntax compile debug;
show errors procedure gc_syntax
select object_name, status from user_objects where object_name = 'GC_SYNTAX';
drop procedure gc_syntax;
drop function gc_semantic;
