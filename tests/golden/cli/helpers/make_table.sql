-- Helper run by commands.sql through @: no .out, so not a test of its own.
create table gt_helper (k number, v varchar2(10));
insert into gt_helper values (1, 'one');
