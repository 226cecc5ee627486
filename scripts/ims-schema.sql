-- The order database behind the ODBC data source IMS: customers, their orders and the orders'
-- lines, with a few demo rows. Plain SQL that SQLite and PostgreSQL both accept as it stands, so
-- the same file builds the one-file database and a server database. Keys are whole numbers the
-- program assigns itself (the next free one), so no auto numbering of one engine or another is needed.
-- Names are left unquoted: PostgreSQL keeps them in lower case, SQLite as written, and the
-- program looks them up without regard to case.

CREATE TABLE CUSTOMER (
    CUSTOMERID  INTEGER NOT NULL PRIMARY KEY,
    NAME        VARCHAR(100) NOT NULL DEFAULT ''
);

CREATE TABLE ORDERS (
    ORDERID         INTEGER NOT NULL PRIMARY KEY,
    CUSTOMERID      INTEGER NOT NULL REFERENCES CUSTOMER (CUSTOMERID),
    ORDERDATE       DATE,
    ORDERREFERENCE  VARCHAR(50),
    ORDERSOURCE     VARCHAR(50),
    SOLDBY          VARCHAR(50),
    COMMENT         VARCHAR(255),
    ORDERAMT        NUMERIC(14, 2),
    PAIDAMT         NUMERIC(14, 2),
    TOTALREMAMT     NUMERIC(14, 2),
    INSTDEPAMT      NUMERIC(14, 2),
    INSTTOTALAMT    NUMERIC(14, 2),
    INSTNUMBER      INTEGER
);
CREATE INDEX ORDERS_CUSTOMER ON ORDERS (CUSTOMERID);

CREATE TABLE ORDERDETAIL (
    ORDERDETAILID   INTEGER NOT NULL PRIMARY KEY,
    ORDERID         INTEGER NOT NULL REFERENCES ORDERS (ORDERID),
    PRODUCTID       VARCHAR(20),
    DESCRIPTION     VARCHAR(100),
    UNITPRICE       NUMERIC(14, 2),
    QUANTITY        NUMERIC(10, 2),
    DISCOUNT        NUMERIC(5, 2),
    LINETOTAL       NUMERIC(14, 2),
    WEIGHT          NUMERIC(10, 3),
    RETURNED        SMALLINT NOT NULL DEFAULT 0
);
CREATE INDEX ORDERDETAIL_ORDER ON ORDERDETAIL (ORDERID);

INSERT INTO CUSTOMER (CUSTOMERID, NAME) VALUES
    (1, 'شركة النور للحاسبات'),
    (2, 'أحمد محمود'),
    (3, 'مكتبة الأمل');

INSERT INTO ORDERS (ORDERID, CUSTOMERID, ORDERDATE, ORDERREFERENCE, ORDERSOURCE, SOLDBY, COMMENT,
                    ORDERAMT, PAIDAMT, TOTALREMAMT, INSTDEPAMT, INSTTOTALAMT, INSTNUMBER) VALUES
    (1, 1, '2026-11-02', 'R-101', 'المعرض', 'سامي', 'توصيل للمكتب', 12500.00, 2500.00, 10000.00, 2500.00, 10000.00, 12),
    (2, 1, '2026-11-20', 'R-117', 'هاتف', 'سامي', NULL, 3375.00, 3375.00, 0.00, NULL, NULL, 12),
    (3, 2, '2026-12-01', 'R-120', 'المعرض', 'منى', NULL, 7800.00, 1800.00, 6000.00, 1800.00, NULL, 6);

INSERT INTO ORDERDETAIL (ORDERDETAILID, ORDERID, PRODUCTID, DESCRIPTION, UNITPRICE, QUANTITY,
                         DISCOUNT, LINETOTAL, WEIGHT, RETURNED) VALUES
    (1, 1, 'P-4', 'حاسب مكتبي كامل', 11000.00, 1, 0, 11000.00, 9.5, 0),
    (2, 1, 'M-19', 'شاشة 19 بوصة', 1500.00, 1, 0, 1500.00, 4.2, 0),
    (3, 2, 'K-1', 'لوحة مفاتيح', 1250.00, 3, 10, 3375.00, 0.8, 0),
    (4, 3, 'L-15', 'حاسب محمول', 7800.00, 1, 0, 7800.00, 2.3, 0);
