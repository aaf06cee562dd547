-- Logon failures: a wrong password and an unknown server leave the client
-- unconnected; a later good logon works again.
connect demo/wrong@sandbox
select 1 from dual;
connect demo/demo@nowhere
connect nobody/x
connect demo/demo@sandbox
show user
