-- Exceptions: predefined, user-declared, EXCEPTION_INIT, RAISE_APPLICATION_ERROR,
-- WHEN ... OR ..., OTHERS, SQLCODE / SQLERRM, re-raise, and the ORA-06512
-- stack of an unhandled error through stored units.
set serveroutput on
declare
  e_not_ready exception;
  pragma exception_init(e_not_ready, -20100);
  v number;
begin
  begin
    v := 10 / 0;
  exception
    when zero_divide then
      dbms_output.put_line('caught: ' || sqlcode || ' ' || sqlerrm);
  end;
  begin
    select sal into v from emp where empno = -1;
  exception
    when too_many_rows or no_data_found then
      dbms_output.put_line('caught: ' || sqlcode || ' ' || sqlerrm);
  end;
  begin
    raise_application_error(-20100, 'not ready yet');
  exception
    when e_not_ready then
      dbms_output.put_line('caught: ' || sqlerrm);
  end;
  begin
    v := to_number('12x');
  exception
    when others then
      dbms_output.put_line('caught: ' || sqlerrm);
  end;
  dbms_output.put_line('sqlcode outside a handler: ' || sqlcode);
end;
/
create or replace procedure gx_inner(p_id in number) is
  v_sal number;
begin
  select sal into v_sal from emp where empno = p_id;
end;
/
create or replace procedure gx_outer is
begin
  dbms_output.put_line('calling');
  gx_inner(-1);
end;
/
begin
  gx_outer;
end;
/
declare
  e_custom exception;
begin
  raise e_custom;
end;
/
begin
  begin
    raise no_data_found;
  exception
    when no_data_found then
      dbms_output.put_line('handled once, raising again');
      raise;
  end;
end;
/
begin
  raise_application_error(-1, 'out of range');
end;
/
drop procedure gx_outer;
drop procedure gx_inner;
