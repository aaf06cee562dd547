-- The server's errors for bad statements reach the client as their ORA- lines.
select * from gt_no_such_table;
create table gt_e (a number);
select b from gt_e;
blah blah;
select 1 from dual dual dual;
select :undeclared from dual;
select 1 / 0 from dual;
select to_number('x') from dual;
drop table gt_e;
