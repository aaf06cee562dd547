-- Commit and rollback within one session.
create table gt_tx (n number);
insert into gt_tx values (1);
commit;
insert into gt_tx values (2);
select count(*) from gt_tx;
rollback;
select count(*) from gt_tx;
drop table gt_tx;
