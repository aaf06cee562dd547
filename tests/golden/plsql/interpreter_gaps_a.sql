-- golden: disabled
-- Declarations and types where the sandbox's interpreter still differs from
-- Oracle; the .out holds what Oracle prints.
set serveroutput on
declare
  -- NUMBER division keeps 40 significant digits: 1/3 shows 40 threes
  n number;
begin
  n := 1/3;
  dbms_output.put_line(n);
end;
/
declare
  -- a negative scale rounds left of the point: NUMBER(4,-2) stores 1250 as 1300
  n number(4,-2) := 1250;
begin
  dbms_output.put_line(n);
end;
/
declare
  -- CHAR against a literal compares blank-padded, against a VARCHAR2 variable non-padded
  c char(5) := 'ab';
  v varchar2(5) := 'ab';
begin
  if c = 'ab' then dbms_output.put_line('char = literal'); end if;
  if c = v then dbms_output.put_line('char = varchar2'); else dbms_output.put_line('char <> varchar2'); end if;
end;
/
create table gd_gap (name varchar2(5));
declare
  -- %TYPE and %ROWTYPE keep the column's length: VARCHAR2(5) cannot hold 'SMITHX'
  v gd_gap.name%type := 'SMITH';
  r gd_gap%rowtype;
begin
  begin
    r.name := 'SMITHX';
  exception
    when value_error then dbms_output.put_line('rowtype field: ' || sqlerrm);
  end;
  v := v || 'X';
end;
/
drop table gd_gap;
