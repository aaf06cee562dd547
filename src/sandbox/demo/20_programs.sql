-- 20_programs.sql - the demo schema's stored programs (user DEMO): payroll
-- and account helpers of the kind a PL/SQL team keeps around, with a bug or
-- two left in for the debugger to find.

-- Returns the salary grade of an amount, or NULL when no grade covers it.
CREATE OR REPLACE FUNCTION get_grade(p_sal IN NUMBER) RETURN NUMBER IS
  v_grade salgrade.grade%TYPE;
BEGIN
  SELECT grade
    INTO v_grade
    FROM salgrade
   WHERE p_sal BETWEEN losal AND hisal;
  RETURN v_grade;
EXCEPTION
  WHEN NO_DATA_FOUND THEN
    RETURN NULL;
END get_grade;
/

-- Today's bonus rate: no arguments, a plain constant lookup.
CREATE OR REPLACE FUNCTION bonus_rate RETURN NUMBER IS
BEGIN
  RETURN 0.05;
END bonus_rate;
/

-- n! computed recursively (NUMBER keeps every digit up to 38).
CREATE OR REPLACE FUNCTION factorial(n IN PLS_INTEGER) RETURN NUMBER IS
BEGIN
  IF n <= 1 THEN
    RETURN 1;
  END IF;
  RETURN n * factorial(n - 1);
END factorial;
/

-- Writes one line to the audit log.
CREATE OR REPLACE PROCEDURE log_message(p_message IN VARCHAR2) IS
BEGIN
  INSERT INTO audit_log (log_id, logged_at, message)
  VALUES (log_seq.NEXTVAL, SYSDATE, p_message);
END log_message;
/

-- Annual pay of an employee: twelve salaries plus commission and bonus.
-- Calls another function and the audit procedure.
CREATE OR REPLACE FUNCTION annual_pay(p_empno IN NUMBER) RETURN NUMBER IS
  v_sal   emp.sal%TYPE;
  v_comm  emp.comm%TYPE;
  v_total NUMBER;
BEGIN
  SELECT sal, comm
    INTO v_sal, v_comm
    FROM emp
   WHERE empno = p_empno;
  -- Bug worth finding: a NULL commission makes the whole total NULL.
  v_total := v_sal * 12 + v_comm;
  v_total := v_total + v_total * bonus_rate;
  RETURN v_total;
END annual_pay;
/

-- Raises an employee's salary by a percentage and reports the new salary.
CREATE OR REPLACE PROCEDURE raise_salary(
  p_empno   IN     NUMBER,
  p_percent IN     NUMBER,
  p_new_sal    OUT NUMBER
) IS
  e_too_much EXCEPTION;
BEGIN
  IF p_percent > 50 THEN
    RAISE e_too_much;
  END IF;
  UPDATE emp
     SET sal = sal * (1 + p_percent / 100)
   WHERE empno = p_empno;
  IF SQL%ROWCOUNT = 0 THEN
    RAISE_APPLICATION_ERROR(-20001, 'No employee ' || p_empno);
  END IF;
  SELECT sal INTO p_new_sal FROM emp WHERE empno = p_empno;
  log_message('Raised ' || p_empno || ' by ' || p_percent || '%');
EXCEPTION
  WHEN e_too_much THEN
    log_message('Refused raise of ' || p_percent || '% for ' || p_empno);
    RAISE_APPLICATION_ERROR(-20002, 'Raise above 50% needs approval');
END raise_salary;
/

-- Moves money between two accounts; the amount comes back rounded.
CREATE OR REPLACE PROCEDURE transfer_funds(
  p_from   IN     NUMBER,
  p_to     IN     NUMBER,
  p_amount IN OUT NUMBER
) IS
  v_balance accounts.balance%TYPE;
BEGIN
  p_amount := ROUND(p_amount, 2);
  SELECT balance INTO v_balance FROM accounts WHERE account_id = p_from;
  -- Bug worth finding: an account may end exactly at zero, but the test
  -- below also lets it go below zero by one cent through rounding.
  IF v_balance - p_amount < -0.01 THEN
    RAISE_APPLICATION_ERROR(-20010, 'Insufficient funds in account ' || p_from);
  END IF;
  UPDATE accounts SET balance = balance - p_amount WHERE account_id = p_from;
  UPDATE accounts SET balance = balance + p_amount WHERE account_id = p_to;
  log_message('Transfer of ' || p_amount || ' from ' || p_from || ' to ' || p_to);
EXCEPTION
  WHEN NO_DATA_FOUND THEN
    RAISE_APPLICATION_ERROR(-20011, 'Unknown account ' || p_from);
END transfer_funds;
/

-- Counts the employees of a department and names the best paid one.
CREATE OR REPLACE PROCEDURE dept_summary(
  p_deptno    IN  NUMBER,
  p_count     OUT NUMBER,
  p_top_earner OUT VARCHAR2
) IS
  CURSOR c_emp IS
    SELECT ename, sal FROM emp WHERE deptno = p_deptno ORDER BY sal DESC;
  v_best NUMBER := -1;
BEGIN
  p_count := 0;
  FOR r IN c_emp LOOP
    p_count := p_count + 1;
    IF r.sal > v_best THEN
      v_best := r.sal;
      p_top_earner := r.ename;
    END IF;
  END LOOP;
END dept_summary;
/

-- Prints the department list; no arguments at all.
CREATE OR REPLACE PROCEDURE print_departments IS
BEGIN
  FOR d IN (SELECT deptno, dname, loc FROM dept ORDER BY deptno) LOOP
    DBMS_OUTPUT.PUT_LINE(RPAD(d.dname, 14) || ' ' || d.loc);
  END LOOP;
END print_departments;
/

-- Payroll helpers grouped in a package, with per-session state.
CREATE OR REPLACE PACKAGE payroll IS
  g_runs NUMBER := 0;

  TYPE t_pay_line IS RECORD (
    empno NUMBER,
    ename VARCHAR2(10),
    pay   NUMBER
  );

  FUNCTION monthly_cost(p_deptno IN NUMBER) RETURN NUMBER;
  PROCEDURE run_payroll(p_deptno IN NUMBER, p_total OUT NUMBER);
  FUNCTION pay_line(p_empno IN NUMBER) RETURN t_pay_line;
END payroll;
/

CREATE OR REPLACE PACKAGE BODY payroll IS

  FUNCTION monthly_cost(p_deptno IN NUMBER) RETURN NUMBER IS
    v_cost NUMBER;
  BEGIN
    SELECT SUM(sal + NVL(comm, 0))
      INTO v_cost
      FROM emp
     WHERE deptno = p_deptno;
    RETURN NVL(v_cost, 0);
  END monthly_cost;

  PROCEDURE run_payroll(p_deptno IN NUMBER, p_total OUT NUMBER) IS
  BEGIN
    g_runs := g_runs + 1;
    p_total := monthly_cost(p_deptno);
    log_message('Payroll run ' || g_runs || ' for department ' || p_deptno);
  END run_payroll;

  FUNCTION pay_line(p_empno IN NUMBER) RETURN t_pay_line IS
    v_line t_pay_line;
  BEGIN
    SELECT empno, ename, sal INTO v_line FROM emp WHERE empno = p_empno;
    RETURN v_line;
  END pay_line;

END payroll;
/
