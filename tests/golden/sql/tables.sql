-- Tables and rows: create, insert, query, update, delete, drop.
create table gt_items (
  id    number,
  name  varchar2(30),
  price number(8,2),
  added date
);
insert into gt_items values (1, 'apple', 1.5, to_date('2024-01-05', 'YYYY-MM-DD'));
insert into gt_items values (2, 'pear', .75, null);
insert into gt_items (id, name) values (3, 'plum');
select id, name, price from gt_items order by id;
select name, added from gt_items where id = 1;
update gt_items set price = price * 2 where price is not null;
select id, price from gt_items order by id;
delete from gt_items where id = 3;
select count(*) from gt_items;
select * from gt_items where id > 10;
drop table gt_items;
