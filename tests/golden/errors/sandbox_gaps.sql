-- golden: disabled until the sandbox answers these as Oracle does
-- An unknown column in an INSERT list is ORA-00904 (today: ORA-00600 from
-- SQLite), and NUMBER division keeps 40 significant digits (today: 15).
create table gt_gap (a number);
insert into gt_gap (zz) values (1);
select 2/3 third from dual;
drop table gt_gap;
