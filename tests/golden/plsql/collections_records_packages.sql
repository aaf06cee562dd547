-- Records, associative arrays, nested tables and their exceptions; a
-- package with state, a private function, an initialisation section and
-- calls in positional, named and mixed notation with IN/OUT/IN OUT.
set serveroutput on
declare
  type t_pt is record (x number, y number := 5);
  type t_by_int is table of varchar2(10) index by pls_integer;
  type t_by_str is table of number index by varchar2(10);
  type t_list is table of number;
  a t_pt;
  b t_pt;
  ai t_by_int;
  ast t_by_str;
  nt t_list;
  k varchar2(10);
begin
  -- record assignment copies the fields; changing the copy leaves the source
  a.x := 1;
  b := a;
  b.x := 2;
  dbms_output.put_line('a ' || a.x || ',' || a.y || ' b ' || b.x || ',' || b.y);
  -- sparse associative array by PLS_INTEGER: COUNT/FIRST/LAST/NEXT/PRIOR/EXISTS
  ai(10) := 'ten'; ai(-3) := 'minus3'; ai(7) := 'seven';
  dbms_output.put_line(ai.count || ' ' || ai.first || ' ' || ai.last || ' '
    || ai.next(-3) || ' ' || ai.prior(7) || ' ' || nvl(to_char(ai.next(10)), 'null'));
  dbms_output.put_line('exists 7 ' || case when ai.exists(7) then 'Y' else 'N' end
    || ', exists 8 ' || case when ai.exists(8) then 'Y' else 'N' end);
  ai.delete(7);
  dbms_output.put_line('after delete(7) ' || ai.count || ' next(-3) ' || ai.next(-3));
  -- by VARCHAR2: keys iterate in sorted order
  ast('pear') := 3; ast('apple') := 1; ast('fig') := 2;
  k := ast.first;
  while k is not null loop
    dbms_output.put_line(k || '=' || ast(k));
    k := ast.next(k);
  end loop;
  -- reading a missing element: NO_DATA_FOUND
  begin
    k := ai(8);
  exception
    when no_data_found then dbms_output.put_line('missing: ' || sqlerrm);
  end;
  -- method on an uninitialised nested table: COLLECTION_IS_NULL (ORA-06531)
  begin
    nt.extend;
  exception
    when collection_is_null then dbms_output.put_line('null: ' || sqlcode || ' ' || sqlerrm);
  end;
  -- constructor, EXTEND, TRIM
  nt := t_list(10, 20, 30);
  nt.extend(2);
  nt(5) := 50;
  dbms_output.put_line('nt count ' || nt.count || ' last ' || nt.last
    || ' nt(4) null ' || case when nt(4) is null then 'Y' else 'N' end);
  nt.trim(3);
  dbms_output.put_line('after trim(3) ' || nt.count || ' last ' || nt(nt.last));
  -- subscript past COUNT: SUBSCRIPT_BEYOND_COUNT (ORA-06533)
  begin
    nt(3) := 1;
  exception
    when subscript_beyond_count then dbms_output.put_line('beyond: ' || sqlcode || ' ' || sqlerrm);
  end;
  -- index 0 is outside the legal range: SUBSCRIPT_OUTSIDE_LIMIT (ORA-06532)
  begin
    nt(0) := 1;
  exception
    when subscript_outside_limit then dbms_output.put_line('limit: ' || sqlcode || ' ' || sqlerrm);
  end;
  -- a NULL key on an associative array: VALUE_ERROR with its own suffix
  begin
    k := ai(null);
  exception
    when value_error then dbms_output.put_line('null key: ' || sqlerrm);
  end;
  ai.delete;
  dbms_output.put_line('after delete all ' || ai.count);
end;
/
create or replace package gk_counter is
  g_calls number := 0;
  procedure bump(p_by in number default 1, p_note in varchar2 default 'none');
  procedure split(p_in in number, p_half out number, p_acc in out number);
  function total return number;
end gk_counter;
/
create or replace package body gk_counter is
  v_total number;
  function scaled(p number) return number is
  begin
    return p * 10;
  end;
  procedure bump(p_by in number default 1, p_note in varchar2 default 'none') is
  begin
    g_calls := g_calls + 1;
    v_total := v_total + scaled(p_by);
    dbms_output.put_line('bump ' || p_by || ' ' || p_note);
  end;
  procedure split(p_in in number, p_half out number, p_acc in out number) is
  begin
    -- an OUT parameter starts NULL whatever the actual held
    if p_half is null then dbms_output.put_line('p_half starts null'); end if;
    if p_in < 0 then
      p_acc := -1;
      raise value_error;
    end if;
    p_half := p_in / 2;
    p_acc := p_acc + p_in;
  end;
  function total return number is
  begin
    return v_total;
  end;
begin
  -- runs once per session, on first use of the package
  v_total := 100;
  dbms_output.put_line('gk_counter initialised');
end gk_counter;
/
begin
  gk_counter.bump;
  gk_counter.bump(2);
  gk_counter.bump(p_note => 'named');
  gk_counter.bump(3, p_note => 'mixed');
end;
/
declare
  v_half number;
  v_acc number := 1;
begin
  -- state kept from the previous block; no second initialisation
  dbms_output.put_line('calls ' || gk_counter.g_calls || ' total ' || gk_counter.total);
  gk_counter.split(5, v_half, v_acc);
  gk_counter.split(p_acc => v_acc, p_half => v_half, p_in => 1);
  dbms_output.put_line('half ' || v_half || ' acc ' || v_acc);
  -- an unhandled error in the callee leaves IN OUT actuals unchanged (copied back only on success)
  begin
    gk_counter.split(-1, v_half, v_acc);
  exception
    when value_error then dbms_output.put_line('after error half ' || v_half || ' acc ' || v_acc);
  end;
end;
/
-- an IN parameter cannot be assigned: PLS-00363 at compile time
create or replace procedure gk_bad(p in number) is
begin
  p := 1;
end;
/
show errors
drop procedure gk_bad;
drop package gk_counter;
