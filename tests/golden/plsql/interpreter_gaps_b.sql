-- golden: disabled
-- Cursor and static-SQL cases where the sandbox's interpreter still differs
-- from Oracle; the .out holds what Oracle prints.
set serveroutput on
create table gc_gap (id number, v number);
insert into gc_gap values (1, 10);
insert into gc_gap values (2, 20);
declare
  v number;
begin
  -- TOO_MANY_ROWS from SELECT INTO leaves SQL%ROWCOUNT at 1, not the number of rows found
  select sal into v from emp where deptno = 10;
exception
  when too_many_rows then
    dbms_output.put_line('rowcount after too_many_rows ' || sql%rowcount);
end;
/
declare
  cursor c is select id, v from gc_gap order by id for update;
begin
  -- WHERE CURRENT OF updates the row the FOR UPDATE cursor last fetched
  for r in c loop
    update gc_gap set v = v + r.id where current of c;
  end loop;
end;
/
select id, v from gc_gap order by id;
drop table gc_gap;
