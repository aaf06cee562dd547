-- SQL*Plus commands: PROMPT, REM, comments, SET, @file, bind variables.
REM a remark
rem another remark
-- a comment line
/* a block
   comment */
prompt Hello from tarnel-sql
prompt
set feedback off
select 'quiet' x from dual;
set feedback on
set heading off
select 'no heading' x from dual;
set heading on
set pagesize 100
set linesize 200
set nosuchoption on
show user
@helpers/make_table
select * from gt_helper;
@helpers/missing_file
@
exec
variable n number = 41
variable s varchar2(20) = 'text'
select :n + 1 plus_one, :s s from dual;
print n
print nosuch
select 1 from dual
/
/
select 'multi'
  || '-line' m
from dual;
select 'dropped'
.
drop table gt_helper;
