-- The blocks the debugger generates to run a program: the call block with
-- one bind per argument (VARCHAR(200) for text and dates, IN OUT sent in and
-- not copied back), and the direct call text of a function without arguments.
variable ret number
variable P_EMPNO number = 7839
variable P_PERCENT number = 10
variable P_NEW_SAL number
DECLARE
  P_EMPNO NUMBER;
  P_PERCENT NUMBER;
  P_NEW_SAL NUMBER;
BEGIN
  P_EMPNO := :P_EMPNO;
  P_PERCENT := :P_PERCENT;

  DEMO.RAISE_SALARY(P_EMPNO, P_PERCENT, P_NEW_SAL);
  :P_NEW_SAL := P_NEW_SAL;
END;
/
print P_NEW_SAL
begin :ret := DEMO.BONUS_RATE; end;
/
print ret
variable P_SAL number = 2500
begin :ret := DEMO.GET_GRADE(:P_SAL); end;
/
print ret
variable P_FROM number
variable P_TO number
variable P_AMOUNT varchar2(200)
begin
  :P_FROM := 1001;
  :P_TO := 1002;
  :P_AMOUNT := '10.005';
end;
/
DECLARE
  P_FROM NUMBER;
  P_TO NUMBER;
  P_AMOUNT NUMBER;
BEGIN
  P_FROM := :P_FROM;
  P_TO := :P_TO;
  P_AMOUNT := :P_AMOUNT;

  DEMO.TRANSFER_FUNDS(P_FROM, P_TO, P_AMOUNT);
END;
/
print P_AMOUNT
variable P_DEPTNO number = 20
variable P_COUNT number
variable P_TOP_EARNER varchar2(200)
DECLARE
  P_DEPTNO NUMBER;
  P_COUNT NUMBER;
  P_TOP_EARNER VARCHAR(200);
BEGIN
  P_DEPTNO := :P_DEPTNO;

  DEMO.DEPT_SUMMARY(P_DEPTNO, P_COUNT, P_TOP_EARNER);
  :P_COUNT := P_COUNT;
  :P_TOP_EARNER := P_TOP_EARNER;
END;
/
print P_COUNT P_TOP_EARNER
rollback;
