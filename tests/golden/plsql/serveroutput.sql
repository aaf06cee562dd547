-- DBMS_OUTPUT lines follow each statement while SERVEROUTPUT is on, before
-- its feedback and also before an error; none are shown once it is off.
set serveroutput on
begin
  dbms_output.put_line('first');
  dbms_output.put_line(null);
  dbms_output.put('part ');
  dbms_output.put_line('two');
end;
/
begin
  dbms_output.put_line('before the failure');
  raise_application_error(-20002, 'stopped');
end;
/
set serveroutput off
begin
  dbms_output.put_line('not shown');
end;
/
