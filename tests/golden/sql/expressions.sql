-- Oracle expressions on DUAL: NUMBER text form, NULL and the empty string,
-- NVL, DECODE, string functions, sequences.
select 1/4 quarter, -0.5 neg, 10 ten from dual;
select nvl(null, 'none') a, decode(2, 1, 'one', 2, 'two', 'many') b from dual;
select case when '' is null then 'empty is null' else 'no' end c from dual;
select upper('abc') || lower('DEF') s, length('hello') n, substr('abcdef', 2, 3) sub from dual;
select to_char(1234.5) t, to_number('42') + 1 n from dual;
create sequence gt_seq start with 10 increment by 5;
select gt_seq.nextval from dual;
select gt_seq.nextval from dual;
select gt_seq.currval from dual;
drop sequence gt_seq;
