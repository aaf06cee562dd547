-- Control flow: IF/ELSIF/ELSE, CASE statements and expressions, CASE_NOT_FOUND,
-- basic LOOP with EXIT WHEN, CONTINUE, WHILE, numeric FOR (REVERSE, empty
-- range, bounds read once) and labelled nested loops.
set serveroutput on
declare
  -- IF takes the first true branch; a NULL condition counts as not true
  procedure grade(p number) is
  begin
    if p >= 90 then dbms_output.put_line(p || ': A');
    elsif p >= 75 then dbms_output.put_line(p || ': B');
    elsif p is null then dbms_output.put_line('null: none');
    else dbms_output.put_line(p || ': C');
    end if;
  end;
begin
  grade(95); grade(90); grade(80); grade(10); grade(null);
end;
/
declare
  v_job varchar2(10) := 'CLERK';
  v_n   number := 7;
begin
  -- simple CASE statement compares with =, searched CASE tests each condition
  case v_job
    when 'MANAGER' then dbms_output.put_line('manages');
    when 'CLERK' then dbms_output.put_line('files');
    else dbms_output.put_line('other');
  end case;
  case
    when v_n < 5 then dbms_output.put_line('small');
    when v_n < 10 then dbms_output.put_line('medium');
  end case;
  -- CASE expression without ELSE yields NULL; NULL never matches a WHEN value
  dbms_output.put_line('expr: ' || case v_n when 7 then 'seven' end
                       || ', ' || nvl(case v_n when 8 then 'eight' end, 'null')
                       || ', ' || case null when null then 'match' else 'no match' end);
  -- a CASE statement with no matching WHEN and no ELSE raises CASE_NOT_FOUND
  case v_n
    when 1 then dbms_output.put_line('one');
  end case;
end;
/
declare
  i number := 0;
  s varchar2(100);
begin
  -- LOOP with EXIT WHEN; CONTINUE WHEN skips the rest of the iteration
  loop
    i := i + 1;
    exit when i > 6;
    continue when mod(i, 2) = 0;
    s := s || i || ' ';
  end loop;
  dbms_output.put_line('odd: ' || s || 'i=' || i);
  -- WHILE tests before each iteration, so a false condition runs nothing
  s := null;
  while i > 3 loop
    s := s || i || ' ';
    i := i - 2;
  end loop;
  while false loop
    s := s || 'never';
  end loop;
  dbms_output.put_line('while: ' || rtrim(s));
end;
/
declare
  s  varchar2(100);
  hi number := 3;
begin
  -- REVERSE counts down from the upper bound; bounds are evaluated once
  for i in reverse 1 .. hi loop
    hi := 10;
    s := s || i || ' ';
  end loop;
  -- an empty range (lower > upper) runs no iteration, even with REVERSE
  for i in 3 .. 1 loop s := s || 'never'; end loop;
  for i in reverse 3 .. 1 loop s := s || 'never'; end loop;
  dbms_output.put_line('reverse: ' || rtrim(s));
  -- EXIT and CONTINUE with a label leave or continue the outer loop
  <<outer>>
  for i in 1 .. 3 loop
    for j in 1 .. 3 loop
      continue outer when j > i;
      exit outer when i = 3 and j = 2;
      dbms_output.put_line(i || ',' || j);
    end loop;
  end loop outer;
end;
/
begin
  -- a FOR loop index is read-only: PLS-00363
  for i in 1 .. 2 loop
    i := 5;
  end loop;
end;
/
