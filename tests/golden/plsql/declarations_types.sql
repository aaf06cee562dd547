-- Declarations and scalar types: NUMBER(p,s), INTEGER, PLS_INTEGER, VARCHAR2(n),
-- CHAR, DATE, BOOLEAN, constants, defaults, NOT NULL, %TYPE, %ROWTYPE and NULL rules.
set serveroutput on
declare
  -- NUMBER(p,s) rounds half away from zero to s places; text has no leading zero
  n52 number(5,2);
  n3  number(3);
  n   number;
  i   integer;
begin
  n52 := 123.456;  dbms_output.put_line('number(5,2) 123.456 -> ' || n52);
  n52 := -0.005;   dbms_output.put_line('number(5,2) -.005 -> ' || n52);
  n3 := 12.5;      dbms_output.put_line('number(3) 12.5 -> ' || n3);
  i := 2.5;        dbms_output.put_line('integer 2.5 -> ' || i);
  n := 1/4;        dbms_output.put_line('1/4 -> ' || n);
  n := 1.50;       dbms_output.put_line('1.50 -> ' || n);
  -- too many integer digits: ORA-06502 ": number precision too large"
  n52 := 1000;
end;
/
declare
  -- rounding 9.96 to NUMBER(2,1) gives 10.0, which no longer fits; raised in the declaration
  n number(2,1) := 9.96;
begin
  null;
end;
/
declare
  -- PLS_INTEGER arithmetic beyond 2147483647 raises ORA-01426, even into a NUMBER
  p1 pls_integer := 2147483647;
  p2 pls_integer := 1;
  n  number;
begin
  dbms_output.put_line('max pls_integer ' || p1);
  n := p1 + p2;
end;
/
declare
  -- CHAR(n) is blank-padded to n; VARCHAR2(n) holds at most n characters
  v varchar2(3);
  c char(5) := 'ab';
begin
  dbms_output.put_line('[' || c || '] length ' || length(c));
  v := 'abc';
  dbms_output.put_line('varchar2(3) ' || v);
  v := 'abcd';
end;
/
declare
  -- DATE + n adds days, date - date gives days; default format DD-MON-RR
  d date := date '2024-01-31';
begin
  dbms_output.put_line('d + 1 = ' || (d + 1));
  dbms_output.put_line('d + 1.5 = ' || to_char(d + 1.5, 'YYYY-MM-DD HH24:MI'));
  dbms_output.put_line('add_months = ' || add_months(d, 1));
  dbms_output.put_line('difference = ' || (date '2024-03-01' - d));
end;
/
declare
  -- BOOLEAN is TRUE, FALSE or NULL; AND/OR/NOT use three-valued logic; '' is NULL
  function s(b boolean) return varchar2 is
  begin
    return case when b then 'TRUE' when not b then 'FALSE' else 'NULL' end;
  end;
begin
  dbms_output.put_line('null and false = ' || s(null and false));
  dbms_output.put_line('null and true = ' || s(null and true));
  dbms_output.put_line('null or true = ' || s(null or true));
  dbms_output.put_line('not null = ' || s(not null));
  dbms_output.put_line('null = null: ' || s(null = null));
  dbms_output.put_line(''''' is null: ' || s('' is null));
  dbms_output.put_line('a||null = ' || ('a' || null) || ', length('''') = ' || nvl(to_char(length('')), 'null'));
end;
/
declare
  -- no default means NULL; a default may use earlier declarations
  c_rate constant number := 0.25;
  v_base number default 200;
  v_fee  number := v_base * c_rate;
  v_none varchar2(10);
  v_nn   number not null := 1;
  v_src  number;
begin
  dbms_output.put_line('fee ' || v_fee || ', none is null: ' || case when v_none is null then 'yes' end);
  -- a NULL value assigned to a NOT NULL variable: ORA-06502 without a suffix
  v_nn := v_src;
end;
/
declare
  -- NOT NULL without an initial value: PLS-00218 at compile time
  v number not null;
begin
  null;
end;
/
declare
  -- a constant cannot be assigned: PLS-00363 at compile time
  c_max constant number := 10;
begin
  c_max := 20;
end;
/
create table gd_t (id number(4) not null, name varchar2(5), hired date);
insert into gd_t values (7, 'SMITH', date '2020-02-29');
declare
  -- %TYPE and %ROWTYPE take the column types; a constrained subtype checks its precision
  subtype t_small is number(2);
  v_name gd_t.name%type;
  r      gd_t%rowtype;
  v_s    t_small := 99;
begin
  select * into r from gd_t where id = 7;
  v_name := r.name;
  dbms_output.put_line(r.id || ' ' || v_name || ' ' || r.hired);
  v_s := v_s + 1;
end;
/
drop table gd_t;
declare
  -- scale above precision: NUMBER(3,5) holds magnitudes below .01, rounded to 5 places
  m number(3,5);
begin
  m := 0.001234;
  dbms_output.put_line(m);
  m := 0.01;
exception
  when value_error then dbms_output.put_line('NUMBER(3,5) := .01: ' || sqlerrm);
end;
/
