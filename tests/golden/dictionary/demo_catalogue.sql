-- The catalogue query of Connect, verbatim, over the demo schema, and the
-- compile-error query with its binds.
SELECT owner,object_type,object_name  FROM sys.all_objects WHERE object_type IN ('VIEW','TABLE','TYPE','SEQUENCE','PACKAGE', 'PACKAGE BODY','FUNCTION','PROCEDURE') ORDER BY 1,2,3
/
variable objName varchar2(30) = 'NO_SUCH_UNIT'
variable objType varchar2(30) = 'FUNCTION'
variable objOwner varchar2(30) = 'DEMO'
SELECT Line, Position, substr(text,1,200) text   FROM ALL_ERRORS  WHERE name=:objName    and type=:objType    and owner=:objOwner  ORDER BY Sequence 
/
