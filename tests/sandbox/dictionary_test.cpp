// dictionary_test.cpp - the dictionary views with Oracle's columns and the
// system's four dictionary queries, verbatim, with their binds and order.
#include "sandbox_test_util.h"

#include "sandbox/session_impl.h"

namespace sandbox::test {

namespace {

const char* kCatalogue =
    "SELECT owner,object_type,object_name  FROM sys.all_objects WHERE object_type IN ('VIEW','TABLE','TYPE',"
    "'SEQUENCE','PACKAGE', 'PACKAGE BODY','FUNCTION','PROCEDURE') ORDER BY 1,2,3";
const char* kSource =
    "SELECT Text FROM SYS.All_Source  WHERE OWNER = :owner   AND NAME = :name   AND TYPE = :type ORDER BY Type,Line";
const char* kArguments =
    "Select *   from all_arguments  where object_id = (           select object_id             from all_objects"
    "            where owner = :owner              and object_name =:name              and object_type = :type"
    "        )  order by Object_Name, Overload, Sequence";
const char* kErrors =
    "SELECT Line, Position, substr(text,1,200) text   FROM ALL_ERRORS  WHERE name=:objName    and type=:objType"
    "    and owner=:objOwner  ORDER BY Sequence ";

std::vector<std::string> columnNames(Session& s, const std::string& sql, std::vector<BindVar> binds = {})
{
    ExecResult r = s.execute(sql, binds);
    std::vector<std::string> names;
    for (const Column& c : r.cursor->columns()) names.push_back(c.name);
    return names;
}

// Stores a function the way the PL/SQL engine does, with two arguments and
// its result, and an error list.
ObjectInfo storeFunction(Session& s, const std::string& name, std::vector<ErrorRow> errors = {})
{
    std::vector<ArgumentRow> args(3);
    args[0].objectName = name; args[0].position = 0; args[0].sequence = 1; args[0].dataType = "NUMBER";
    args[0].inOut = "OUT";
    args[1].objectName = name; args[1].argumentName = "P_B"; args[1].position = 2; args[1].sequence = 3;
    args[1].dataType = "VARCHAR2"; args[1].inOut = "IN/OUT";
    args[2].objectName = name; args[2].argumentName = "P_A"; args[2].position = 1; args[2].sequence = 2;
    args[2].dataType = "NUMBER"; args[2].inOut = "IN";
    return s.impl().dictionary().storeUnit("DEMO", name, "FUNCTION",
                                           {"FUNCTION " + name + "(p_a NUMBER, p_b IN OUT VARCHAR2)\n", "RETURN NUMBER IS\n",
                                            "BEGIN\n", "  RETURN p_a;\n", "END;"},
                                           args, errors);
}

} // namespace

TEST_F(DemoServer, CatalogueQueryListsObjectsInOwnerTypeNameOrder)
{
    exec(*demo, "create view emp_names as select ename from emp");
    storeFunction(*demo, "GET_ONE");
    Rows rows = query(*demo, kCatalogue);
    ASSERT_FALSE(rows.empty());
    EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end()));
    auto has = [&](std::vector<std::string> r) { return std::find(rows.begin(), rows.end(), r) != rows.end(); };
    EXPECT_TRUE(has({"DEMO", "TABLE", "EMP"}));
    EXPECT_TRUE(has({"DEMO", "TABLE", "DEPT"}));
    EXPECT_TRUE(has({"DEMO", "SEQUENCE", "EMP_SEQ"}));
    EXPECT_TRUE(has({"DEMO", "VIEW", "EMP_NAMES"}));
    EXPECT_TRUE(has({"DEMO", "FUNCTION", "GET_ONE"}));
    EXPECT_EQ(columnNames(*demo, kCatalogue), (std::vector<std::string>{"OWNER", "OBJECT_TYPE", "OBJECT_NAME"}));
}

TEST_F(DemoServer, SourceQueryReturnsLinesInOrder)
{
    storeFunction(*demo, "GET_ONE");
    Rows rows = query(*demo, kSource, {bind("owner", Value::string("DEMO")), bind("NAME", Value::string("GET_ONE")),
                                       bind("Type", Value::string("FUNCTION"))});
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0][0], "FUNCTION GET_ONE(p_a NUMBER, p_b IN OUT VARCHAR2)\n");
    EXPECT_EQ(rows[3][0], "  RETURN p_a;\n");
    EXPECT_EQ(rows[4][0], "END;");
    EXPECT_EQ(columnNames(*demo, kSource, {bind("owner", Value()), bind("name", Value()), bind("type", Value())}),
              std::vector<std::string>{"TEXT"});
}

TEST_F(DemoServer, ArgumentsQueryReturnsOracleColumnsBySequence)
{
    ObjectInfo f = storeFunction(*demo, "GET_ONE");
    std::vector<BindVar> binds{bind("owner", Value::string("DEMO")), bind("name", Value::string("GET_ONE")),
                               bind("type", Value::string("FUNCTION"))};
    std::vector<std::string> cols = columnNames(*demo, kArguments, binds);
    std::vector<std::string> oracle{"OWNER", "OBJECT_NAME", "PACKAGE_NAME", "OBJECT_ID", "OVERLOAD", "SUBPROGRAM_ID",
                                    "ARGUMENT_NAME", "POSITION", "SEQUENCE", "DATA_LEVEL", "DATA_TYPE", "DEFAULTED",
                                    "DEFAULT_VALUE", "DEFAULT_LENGTH", "IN_OUT", "DATA_LENGTH", "DATA_PRECISION",
                                    "DATA_SCALE", "RADIX", "CHARACTER_SET_NAME", "TYPE_OWNER", "TYPE_NAME",
                                    "TYPE_SUBNAME", "TYPE_LINK", "TYPE_OBJECT_TYPE", "PLS_TYPE", "CHAR_LENGTH",
                                    "CHAR_USED", "ORIGIN_CON_ID"};
    EXPECT_EQ(cols, oracle);
    Rows rows = query(*demo, kArguments, binds);
    ASSERT_EQ(rows.size(), 3u);
    // OBJECT_ID, ARGUMENT_NAME, POSITION, SEQUENCE, DATA_TYPE, IN_OUT
    auto pick = [](const std::vector<std::string>& r) {
        return std::vector<std::string>{r[3], r[6], r[7], r[8], r[10], r[14]};
    };
    std::string id = std::to_string(f.objectId);
    EXPECT_EQ(pick(rows[0]), (std::vector<std::string>{id, "<null>", "0", "1", "NUMBER", "OUT"}));
    EXPECT_EQ(pick(rows[1]), (std::vector<std::string>{id, "P_A", "1", "2", "NUMBER", "IN"}));
    EXPECT_EQ(pick(rows[2]), (std::vector<std::string>{id, "P_B", "2", "3", "VARCHAR2", "IN/OUT"}));

    // Numeric columns come back as numbers, as the argument model reads them.
    ExecResult r = demo->execute(kArguments, binds);
    std::vector<Value> row;
    ASSERT_TRUE(r.cursor->fetch(row));
    EXPECT_EQ(row[3].kind(), Value::Kind::Number);
    EXPECT_EQ(row[7].kind(), Value::Kind::Number);
}

TEST_F(DemoServer, ErrorsQueryReturnsErrorsBySequenceAndInvalidatesTheUnit)
{
    std::vector<ErrorRow> errors(2);
    errors[0].line = 4; errors[0].position = 10; errors[0].text = "PLS-00201: identifier 'X' must be declared";
    errors[0].messageNumber = 201;
    errors[1].line = 4; errors[1].position = 3; errors[1].text = "PL/SQL: Statement ignored";
    storeFunction(*demo, "BROKEN", errors);
    std::vector<BindVar> binds{bind("objName", Value::string("BROKEN")), bind("objType", Value::string("FUNCTION")),
                               bind("objOwner", Value::string("DEMO"))};
    Rows rows = query(*demo, kErrors, binds);
    EXPECT_EQ(rows, (Rows{{"4", "10", "PLS-00201: identifier 'X' must be declared"},
                          {"4", "3", "PL/SQL: Statement ignored"}}));
    EXPECT_EQ(columnNames(*demo, kErrors, binds), (std::vector<std::string>{"LINE", "POSITION", "TEXT"}));
    EXPECT_EQ(scalar(*demo, "select status from user_objects where object_name = 'BROKEN'"), "INVALID");

    // A clean recompilation empties the list and makes the unit valid again.
    demo->impl().dictionary().setCompileResult("DEMO", "BROKEN", "FUNCTION", {});
    EXPECT_TRUE(query(*demo, kErrors, binds).empty());
    EXPECT_EQ(scalar(*demo, "select status from all_objects where object_name = 'BROKEN'"), "VALID");
}

TEST_F(DemoServer, ReplacingAUnitKeepsItsObjectId)
{
    ObjectInfo a = storeFunction(*demo, "GET_ONE");
    ObjectInfo b = storeFunction(*demo, "GET_ONE");
    EXPECT_EQ(a.objectId, b.objectId);
    EXPECT_EQ(scalar(*demo, "select count(*) from all_source where name = 'GET_ONE'"), "5");
    // One name per namespace: a table cannot take a function's name.
    EXPECT_EQ(errorOf(*demo, "create table get_one (x number)"), 955);
    demo->impl().dictionary().dropObject("DEMO", "GET_ONE", "FUNCTION");
    EXPECT_EQ(scalar(*demo, "select count(*) from all_source where name = 'GET_ONE'"), "0");
    EXPECT_EQ(scalar(*demo, "select count(*) from all_arguments where object_name = 'GET_ONE'"), "0");
}

TEST_F(DemoServer, CreatedTablesViewsSequencesAndIndexesShowInAllObjects)
{
    exec(*demo, "create table t1 (id number primary key, name varchar2(20))");
    exec(*demo, "create or replace view v1 as select id from t1");
    exec(*demo, "create or replace view v1 as select id, name from t1");
    exec(*demo, "create sequence s1");
    exec(*demo, "create index t1_name on t1 (name)");
    Rows rows = query(*demo, "select object_type, status from all_objects where owner = 'DEMO' and object_name in "
                             "('T1', 'V1', 'S1', 'T1_NAME') order by object_name");
    EXPECT_EQ(rows, (Rows{{"SEQUENCE", "VALID"}, {"TABLE", "VALID"}, {"INDEX", "VALID"}, {"VIEW", "VALID"}}));
    EXPECT_EQ(scalar(*demo, "select count(*) from v1"), "0");
    exec(*demo, "drop table t1");
    exec(*demo, "drop sequence s1");
    EXPECT_EQ(scalar(*demo, "select count(*) from user_objects where object_name in ('T1', 'S1', 'T1_NAME')"), "0");
    EXPECT_EQ(errorOf(*demo, "drop table t1"), 942);
    EXPECT_EQ(errorOf(*demo, "drop sequence s1"), 2289);
}

TEST_F(DemoServer, UserViewsShowOnlyTheSessionUsersObjectsAndLackOwner)
{
    exec(*demo, "create user other identified by pw");
    auto other = server->logon("OTHER", "pw");
    exec(*other, "create table mine (x number)");
    EXPECT_EQ(scalar(*other, "select count(*) from user_objects"), "1");
    EXPECT_EQ(scalar(*other, "select object_name from user_objects"), "MINE");
    EXPECT_EQ(scalar(*demo, "select count(*) from user_objects where object_name = 'MINE'"), "0");
    EXPECT_EQ(scalar(*demo, "select count(*) from SYS.ALL_OBJECTS where object_name = 'MINE'"), "1");
    EXPECT_EQ(scalar(*demo, "select count(*) from sys.user_tables where table_name = 'EMP'"), "1");
    EXPECT_EQ(errorOf(*demo, "select owner from user_objects"), 904);
    std::vector<std::string> cols = columnNames(*demo, "select * from user_errors");
    EXPECT_EQ(cols, (std::vector<std::string>{"NAME", "TYPE", "SEQUENCE", "LINE", "POSITION", "TEXT", "ATTRIBUTE",
                                              "MESSAGE_NUMBER"}));
    EXPECT_EQ(columnNames(*demo, "select * from all_source"),
              (std::vector<std::string>{"OWNER", "NAME", "TYPE", "LINE", "TEXT", "ORIGIN_CON_ID"}));
    EXPECT_EQ(columnNames(*demo, "select * from sys.all_objects where rownum = 1").size(), 18u);
}

} // namespace sandbox::test
