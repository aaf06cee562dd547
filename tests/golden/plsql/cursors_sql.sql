-- Static SQL in PL/SQL: SELECT INTO, DML with SQL% attributes, explicit
-- cursors with parameters and attributes, cursor FOR loops, EXECUTE
-- IMMEDIATE, COMMIT/ROLLBACK and a PL/SQL function called from SQL.
set serveroutput on
create table gc_scratch (id number primary key, name varchar2(20), qty number);
declare
  v_sal emp.sal%type;
  v_cnt number;
begin
  -- before any SQL statement the implicit cursor attributes are NULL; SQL%ISOPEN is always FALSE
  dbms_output.put_line('rowcount at start: ' || nvl(to_char(sql%rowcount), 'null')
    || ', isopen ' || case when sql%isopen then 'Y' else 'N' end);
  -- SELECT INTO one row fills the variable
  select sal into v_sal from emp where empno = 7839;
  dbms_output.put_line('king sal ' || v_sal);
  -- no row: NO_DATA_FOUND (SQLCODE +100); many rows: TOO_MANY_ROWS (-1422)
  begin
    select sal into v_sal from emp where empno = 1;
  exception
    when no_data_found then
      dbms_output.put_line('none: ' || sqlcode || ' ' || sqlerrm || ', rowcount ' || sql%rowcount);
  end;
  begin
    select sal into v_sal from emp where deptno = 10;
  exception
    when too_many_rows then dbms_output.put_line('many: ' || sqlcode || ' ' || sqlerrm);
  end;
  -- DML sets SQL%ROWCOUNT / SQL%FOUND / SQL%NOTFOUND for the last statement
  insert into gc_scratch values (1, 'one', 10);
  insert into gc_scratch select empno, ename, sal from emp where deptno = 10;
  dbms_output.put_line('inserted ' || sql%rowcount);
  update gc_scratch set qty = qty * 2 where id > 1000;
  dbms_output.put_line('updated ' || sql%rowcount);
  update gc_scratch set qty = 0 where id = 99;
  if sql%notfound and not sql%found then
    dbms_output.put_line('update of id 99: notfound, rowcount ' || sql%rowcount);
  end if;
  delete from gc_scratch where qty > 2500;
  dbms_output.put_line('deleted ' || sql%rowcount);
  -- ROLLBACK undoes everything since the last COMMIT
  commit;
  delete from gc_scratch;
  rollback;
  select count(*) into v_cnt from gc_scratch;
  dbms_output.put_line('after rollback ' || v_cnt);
end;
/
declare
  cursor c_emp(p_dept number, p_min number default 0) is
    select ename, sal from emp where deptno = p_dept and sal >= p_min order by empno;
  r c_emp%rowtype;
begin
  -- %ISOPEN is false before OPEN; %ROWCOUNT counts fetched rows
  dbms_output.put_line('open before: ' || case when c_emp%isopen then 'Y' else 'N' end);
  open c_emp(10, 2000);
  loop
    fetch c_emp into r;
    exit when c_emp%notfound;
    dbms_output.put_line(c_emp%rowcount || ' ' || r.ename || ' ' || r.sal);
  end loop;
  dbms_output.put_line('found after end: ' || case when c_emp%found then 'Y' else 'N' end
                       || ', rowcount ' || c_emp%rowcount);
  -- opening an open cursor: CURSOR_ALREADY_OPEN (ORA-06511)
  begin
    open c_emp(20);
  exception
    when cursor_already_open then dbms_output.put_line('reopen: ' || sqlcode || ' ' || sqlerrm);
  end;
  close c_emp;
  -- fetching from, or %ROWCOUNT of, a closed cursor: INVALID_CURSOR (ORA-01001)
  begin
    fetch c_emp into r;
  exception
    when invalid_cursor then dbms_output.put_line('closed fetch: ' || sqlcode || ' ' || sqlerrm);
  end;
  begin
    dbms_output.put_line(c_emp%rowcount);
  exception
    when invalid_cursor then dbms_output.put_line('closed rowcount: ' || sqlerrm);
  end;
  -- named cursor FOR loop with an argument, then an inline one
  for e in c_emp(30, 1600) loop
    -- the FOR loop opens the cursor and closes it when the loop ends
    dbms_output.put_line('for named ' || e.ename || ' #' || c_emp%rowcount
                         || ' open ' || case when c_emp%isopen then 'Y' else 'N' end);
  end loop;
  dbms_output.put_line('open after loop: ' || case when c_emp%isopen then 'Y' else 'N' end);
  for d in (select dname from dept where deptno in (10, 40) order by deptno) loop
    dbms_output.put_line('for inline ' || d.dname);
  end loop;
end;
/
create or replace function gc_bonus(p_sal number) return number is
begin
  return p_sal * 0.1;
end;
/
declare
  v_n    number;
  v_name varchar2(20);
begin
  -- dynamic DML with bind arguments, dynamic query INTO
  execute immediate 'insert into gc_scratch (id, name, qty) values (:1, :2, :3)'
    using 500, 'dyn', 0.5;
  dbms_output.put_line('dyn rows ' || sql%rowcount);
  execute immediate 'select name, qty from gc_scratch where id = :id' into v_name, v_n using 500;
  dbms_output.put_line('dyn got ' || v_name || ' ' || v_n);
  -- a PL/SQL function used inside a SQL statement
  select gc_bonus(sal) into v_n from emp where empno = 7369;
  dbms_output.put_line('bonus ' || v_n);
end;
/
select id, gc_bonus(qty) bonus from gc_scratch order by id;
drop function gc_bonus;
drop table gc_scratch;
