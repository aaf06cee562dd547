-- The dictionary queries the debugger issues, verbatim, with their binds.
create table gt_dict (a number);
SELECT owner,object_type,object_name  FROM sys.all_objects WHERE object_type IN ('VIEW','TABLE','TYPE','SEQUENCE','PACKAGE', 'PACKAGE BODY','FUNCTION','PROCEDURE') AND object_name LIKE 'GT\_%' ESCAPE '\' ORDER BY 1,2,3;
select object_name, object_type, status from user_objects where object_name = 'GT_DICT';
drop table gt_dict;
