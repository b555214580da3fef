<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>TForm1</name>
    <message>
        <source>Memory Table Demo App</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CustNo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Record Count : </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>First</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Prior</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Next</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Last</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Insert</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Query</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Post</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>客戶編號</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>公司名稱</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>公司地址</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>聯絡地址</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>City</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>State</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zip</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Country</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Phone</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>FAX</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TaxRate</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Contact</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>LastInvoiceDate</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>資料過濾</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>條件1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>條件2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>資料過濾指令格式(None SQL Command)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>說明+,+欄位名稱+,+起始碼+,+結束碼+,+比對碼+,+欄位值+,</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>過濾後的第幾筆資料 : </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>過濾客戶開始條件,CustNo,1,2,&gt;=,13,</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>過濾客戶結束條件,CustNo,1,2,&lt;=,62,</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>開始過濾</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>取消過濾</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add Datas</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Empty Table</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>-1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>查詢目前資料--&gt;</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Translations</name>
    <message>
        <source>The language %1 cannot be chosen before the application object exists.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
