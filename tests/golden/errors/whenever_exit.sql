-- WHENEVER SQLERROR EXIT FAILURE ends the run at the first error with exit status 1.
prompt before
whenever sqlerror exit failure
select * from gt_missing;
prompt never printed
