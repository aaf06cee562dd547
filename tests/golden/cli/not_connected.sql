-- Statements while not connected are refused by the client.
disconnect
select 1 from dual;
show errors
connect demo/demo
select 'back' x from dual;
