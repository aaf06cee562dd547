-- Stored units: created, run, compiled with errors, listed by SHOW ERRORS and
-- the dictionary queries the debugger issues.
set serveroutput on
create or replace function gt_double(n in number) return number is
begin
  return n * 2;
end;
/
show errors
create or replace procedure gt_greet(who in varchar2) is
begin
  dbms_output.put_line('Hello, ' || who);
end;
/
exec gt_greet('world')
variable r number
begin
  :r := gt_double(21);
end;
/
print r
create or replace procedure gt_broken is
begin
  undefined_thing;
end;
/
show errors
variable owner varchar2(30) = 'DEMO'
variable name varchar2(30) = 'GT_DOUBLE'
variable type varchar2(30) = 'FUNCTION'
SELECT Text FROM SYS.All_Source  WHERE OWNER = :owner   AND NAME = :name   AND TYPE = :type ORDER BY Type,Line;
Select *   from all_arguments  where object_id = (           select object_id             from all_objects            where owner = :owner              and object_name =:name              and object_type = :type        )  order by Object_Name, Overload, Sequence;
variable objName varchar2(30) = 'GT_BROKEN'
variable objType varchar2(30) = 'PROCEDURE'
variable objOwner varchar2(30) = 'DEMO'
SELECT Line, Position, substr(text,1,200) text   FROM ALL_ERRORS  WHERE name=:objName    and type=:objType    and owner=:objOwner  ORDER BY Sequence ;
begin
  raise_application_error(-20001, 'custom failure');
end;
/
drop procedure gt_broken;
drop procedure gt_greet;
drop function gt_double;
