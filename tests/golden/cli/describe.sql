-- DESCRIBE of a table, a function, a procedure without arguments, and a missing object.
create table gt_desc (id number not null, label varchar2(20), born date);
desc gt_desc
create or replace function gt_desc_f(a in number, b in out varchar2) return varchar2 is
begin
  return b;
end;
/
describe gt_desc_f
create or replace procedure gt_desc_p is
begin
  null;
end;
/
desc demo.gt_desc_p
desc gt_nothing_here
drop procedure gt_desc_p;
drop function gt_desc_f;
drop table gt_desc;
