-- The demo schema's programs: their status, argument rows and source as the
-- debugger reads them, and a run of each kind.
set serveroutput on
select object_name, object_type, status from user_objects
 where object_type in ('FUNCTION', 'PROCEDURE', 'PACKAGE', 'PACKAGE BODY') order by object_name, object_type;
select object_name, package_name, overload, argument_name, position, sequence, data_level, data_type, in_out
  from all_arguments where owner = 'DEMO' order by package_name nulls first, object_name, overload, sequence;
select line, text from user_source where name = 'GET_GRADE' and type = 'FUNCTION' order by line;
begin
  dbms_output.put_line('factorial(20) = ' || factorial(20));
  dbms_output.put_line('annual pay of 7839 = ' || annual_pay(7839));
  dbms_output.put_line('annual pay of 7499 = ' || annual_pay(7499));
  dbms_output.put_line('monthly cost of 10 = ' || payroll.monthly_cost(10));
  print_departments;
end;
/
select get_grade(1500) grade, factorial(5) f from dual;
declare
  v_total number;
  v_line  payroll.t_pay_line;
begin
  payroll.run_payroll(30, v_total);
  payroll.run_payroll(30, v_total);
  v_line := payroll.pay_line(7369);
  dbms_output.put_line('runs: ' || payroll.g_runs || ', total: ' || v_total || ', ' || v_line.ename);
end;
/
rollback;
