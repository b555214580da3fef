<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_TW">
<context>
    <name>ClassRegistry</name>
    <message>
        <source>Class %1 not found</source>
        <translation>找不到類別 %1</translation>
    </message>
</context>
<context>
    <name>CoFileDataSet</name>
    <message>
        <source>Cannot create the record-storage server on machine %1: servers run only on this machine.</source>
        <translation>無法在機器 %1 上建立資料伺服器：伺服器只在本機執行。</translation>
    </message>
    <message>
        <source>%1: the record-storage server is not registered in this program. Call RegisterFileDataSetServer() (server/RegisterFileDataSetServer.h, component recordserver) once at start, before the first dataset is created.</source>
        <translation>%1：這個程式沒有註冊資料儲存伺服器。請在程式開始時、建立第一個資料集之前呼叫一次 RegisterFileDataSetServer()（server/RegisterFileDataSetServer.h，元件 recordserver）。</translation>
    </message>
</context>
<context>
    <name>Colors</name>
    <message>
        <source>&apos;%1&apos; is not a valid colour</source>
        <translation>「%1」不是有效的顏色</translation>
    </message>
</context>
<context>
    <name>ComObj</name>
    <message>
        <source>The class factory of %1 made no object</source>
        <translation>%1 的類別工廠沒有產生物件</translation>
    </message>
</context>
<context>
    <name>CommitBell</name>
    <message>
        <source>Other sessions&apos; commits cannot be watched: no event counter (%1).</source>
        <translation>無法監看其他工作階段的認可：沒有事件計數器（%1）。</translation>
    </message>
</context>
<context>
    <name>ControlBridge</name>
    <message>
        <source>Unhandled exception: %1</source>
        <translation>未處理的例外狀況：%1</translation>
    </message>
    <message>
        <source>Unhandled exception</source>
        <translation>未處理的例外狀況</translation>
    </message>
</context>
<context>
    <name>DataPath</name>
    <message>
        <source>a folder</source>
        <translation>資料夾</translation>
    </message>
    <message>
        <source>a FIFO (named pipe)</source>
        <translation>FIFO（具名管道）</translation>
    </message>
    <message>
        <source>a device</source>
        <translation>裝置</translation>
    </message>
    <message>
        <source>a socket</source>
        <translation>通訊端</translation>
    </message>
    <message>
        <source>a special file</source>
        <translation>特殊檔案</translation>
    </message>
</context>
<context>
    <name>DateTime</name>
    <message>
        <source>Invalid argument to date encode</source>
        <translation>無效的日期（年、月或日超出範圍）</translation>
    </message>
    <message>
        <source>Invalid argument to time encode</source>
        <translation>無效的時間（時、分、秒或毫秒超出範圍）</translation>
    </message>
</context>
<context>
    <name>DbMethods</name>
    <message>
        <source>%1 needs an item class derived from %2</source>
        <translation>%1 需要衍生自 %2 的項目類別</translation>
    </message>
    <message>
        <source>SetUpItem needs an item to copy from</source>
        <translation>SetUpItem 需要一個可供複製的來源項目</translation>
    </message>
</context>
<context>
    <name>Dialogs</name>
    <message>
        <source>&amp;Yes</source>
        <translation>是(&amp;Y)</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>否(&amp;N)</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>確定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>&amp;Abort</source>
        <translation>中止(&amp;A)</translation>
    </message>
    <message>
        <source>&amp;Retry</source>
        <translation>重試(&amp;R)</translation>
    </message>
    <message>
        <source>&amp;Ignore</source>
        <translation>忽略(&amp;I)</translation>
    </message>
    <message>
        <source>&amp;All</source>
        <translation>全部(&amp;A)</translation>
    </message>
    <message>
        <source>N&amp;o to All</source>
        <translation>全部否(&amp;O)</translation>
    </message>
    <message>
        <source>Yes to &amp;All</source>
        <translation>全部是(&amp;A)</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>說明(&amp;H)</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>錯誤</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>訊息</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>確認</translation>
    </message>
</context>
<context>
    <name>FieldTypes</name>
    <message>
        <source>is not a date (dates are written YYYY-MM-DD, such as 2024-03-31)</source>
        <translation>不是日期（日期寫成 YYYY-MM-DD，例如 2024-03-31）</translation>
    </message>
    <message>
        <source>is not a boolean (True or False, or 1 or 0)</source>
        <translation>不是布林值（True 或 False，或 1 或 0）</translation>
    </message>
    <message>
        <source>is not a whole number</source>
        <translation>不是整數</translation>
    </message>
    <message>
        <source>has more than the %1 decimals the field keeps</source>
        <translation>的小數位數超過欄位保留的 %1 位</translation>
    </message>
    <message>
        <source>has %1 characters when written with its %2 decimals, more than the %3 the field holds</source>
        <translation>連同 %2 位小數寫出時有 %1 個字元，超過欄位容納的 %3 個</translation>
    </message>
    <message>
        <source>has %1 characters when written, more than the %2 the field holds</source>
        <translation>寫出時有 %1 個字元，超過欄位容納的 %2 個</translation>
    </message>
</context>
<context>
    <name>FileCommitWake</name>
    <message>
        <source>Commits to %1 cannot be watched: the system gives neither a file watch nor a timer (%2).</source>
        <translation>無法監看對 %1 的認可：系統既不提供檔案監看，也不提供計時器（%2）。</translation>
    </message>
</context>
<context>
    <name>FileDataSetServer</name>
    <message>
        <source>Invalid argument: %1</source>
        <translation>引數無效：%1</translation>
    </message>
    <message>
        <source>The record server ran out of memory.</source>
        <translation>資料伺服器的記憶體不足。</translation>
    </message>
    <message>
        <source>The record server failed.</source>
        <translation>資料伺服器發生錯誤。</translation>
    </message>
    <message>
        <source>No variable was given for the result.</source>
        <translation>沒有給存放結果的變數。</translation>
    </message>
    <message>
        <source>No variable was given for the descriptor.</source>
        <translation>沒有給存放描述元的變數。</translation>
    </message>
    <message>
        <source>No variable was given for the answer or the record numbers.</source>
        <translation>沒有給存放答案或資料編號的變數。</translation>
    </message>
</context>
<context>
    <name>FilterCommand</name>
    <message>
        <source>The filter line %1 is refused: %2.</source>
        <translation>過濾條件 %1 不被接受：%2。</translation>
    </message>
    <message>
        <source>the item %1 is not followed by a comma (every item, the last included, ends with one)</source>
        <translation>項目 %1 後面沒有逗號（每個項目都要以逗號結尾，最後一項也一樣）</translation>
    </message>
    <message>
        <source>it has %1 comma-terminated items where six are needed (a value cannot hold a comma)</source>
        <translation>它有 %1 個以逗號結尾的項目，需要的是六個（值裡不能有逗號）</translation>
    </message>
    <message>
        <source>the field name is missing</source>
        <translation>缺少欄位名稱</translation>
    </message>
    <message>
        <source>the table %1 has no field %2</source>
        <translation>資料表 %1 沒有欄位 %2</translation>
    </message>
    <message>
        <source>the start position %1 is not a whole number from 0</source>
        <translation>起始碼 %1 不是從 0 起的整數</translation>
    </message>
    <message>
        <source>the end position %1 is not a whole number from 0</source>
        <translation>結束碼 %1 不是從 0 起的整數</translation>
    </message>
    <message>
        <source>the end position %1 comes before the start position %2</source>
        <translation>結束碼 %1 在起始碼 %2 之前</translation>
    </message>
    <message>
        <source>the comparison %1 is not one of = &lt;&gt; &lt; &lt;= &gt; &gt;=</source>
        <translation>比對碼 %1 不是 = &lt;&gt; &lt; &lt;= &gt; &gt;= 其中之一</translation>
    </message>
</context>
<context>
    <name>FormFileAccess</name>
    <message>
        <source>a folder</source>
        <translation>資料夾</translation>
    </message>
    <message>
        <source>a FIFO (named pipe)</source>
        <translation>FIFO（具名管道）</translation>
    </message>
    <message>
        <source>a device</source>
        <translation>裝置</translation>
    </message>
    <message>
        <source>a socket</source>
        <translation>通訊端</translation>
    </message>
    <message>
        <source>a special file</source>
        <translation>特殊檔案</translation>
    </message>
    <message>
        <source>Cannot open the form file %1: %2.</source>
        <translation>無法開啟表單檔 %1：%2。</translation>
    </message>
    <message>
        <source>Cannot write the form file %1: %2.</source>
        <translation>無法寫入表單檔 %1：%2。</translation>
    </message>
    <message>
        <source>The form file %1 is %2, not a regular file.</source>
        <translation>表單檔 %1 是%2，不是一般檔案。</translation>
    </message>
    <message>
        <source>The form file %1 is larger than the %2 MiB a form file may have.</source>
        <translation>表單檔 %1 超過表單檔容許的 %2 MiB。</translation>
    </message>
    <message>
        <source>Cannot read the form file %1: %2.</source>
        <translation>無法讀取表單檔 %1：%2。</translation>
    </message>
    <message>
        <source>Cannot write the form file %1: it is %2, not a regular file.</source>
        <translation>無法寫入表單檔 %1：它是%2，不是一般檔案。</translation>
    </message>
    <message>
        <source>Cannot write the form file %1: it is a link to nothing.</source>
        <translation>無法寫入表單檔 %1：它是指向不存在目標的連結。</translation>
    </message>
</context>
<context>
    <name>FormParser</name>
    <message>
        <source>character #%1</source>
        <translation>字元 #%1</translation>
    </message>
    <message>
        <source>unexpected %1</source>
        <translation>不應出現 %1</translation>
    </message>
    <message>
        <source>invalid number %1</source>
        <translation>無效的數字 %1</translation>
    </message>
    <message>
        <source>unterminated string</source>
        <translation>字串沒有結束</translation>
    </message>
    <message>
        <source>character code out of range</source>
        <translation>字元代碼超出範圍</translation>
    </message>
    <message>
        <source>invalid character code: &apos;#&apos; must be followed by a number</source>
        <translation>無效的字元代碼：&apos;#&apos; 後面必須是數字</translation>
    </message>
    <message>
        <source>unterminated binary data (missing &apos;}&apos;)</source>
        <translation>二進位資料沒有結束（缺少 &apos;}&apos;）</translation>
    </message>
    <message>
        <source>invalid %1 in binary data</source>
        <translation>二進位資料中有無效的 %1</translation>
    </message>
    <message>
        <source>binary data has an odd number of hex digits</source>
        <translation>二進位資料的十六進位數字個數是奇數</translation>
    </message>
    <message>
        <source>number %1</source>
        <translation>數字 %1</translation>
    </message>
    <message>
        <source>a string</source>
        <translation>字串</translation>
    </message>
    <message>
        <source>binary data</source>
        <translation>二進位資料</translation>
    </message>
    <message>
        <source>the end of the file</source>
        <translation>檔案結尾</translation>
    </message>
    <message>
        <source>unexpected %1 after the end of the top object</source>
        <translation>最上層物件結束後不應出現 %1</translation>
    </message>
    <message>
        <source>expected &apos;object&apos; but found %1</source>
        <translation>應為 &apos;object&apos;，但找到 %1</translation>
    </message>
    <message>
        <source>a component name or class name</source>
        <translation>元件名稱或類別名稱</translation>
    </message>
    <message>
        <source>a class name</source>
        <translation>類別名稱</translation>
    </message>
    <message>
        <source>form nested too deeply</source>
        <translation>表單的巢狀層次太深</translation>
    </message>
    <message>
        <source>expected %1 but found %2</source>
        <translation>應為%1，但找到 %2</translation>
    </message>
    <message>
        <source>expected &apos;%1&apos; but found %2</source>
        <translation>應為 &apos;%1&apos;，但找到 %2</translation>
    </message>
    <message>
        <source>object %1 is not terminated (missing &apos;end&apos;)</source>
        <translation>物件 %1 沒有結束（缺少 &apos;end&apos;）</translation>
    </message>
    <message>
        <source>expected a property, &apos;object&apos; or &apos;end&apos; but found %1</source>
        <translation>應為屬性、&apos;object&apos; 或 &apos;end&apos;，但找到 %1</translation>
    </message>
    <message>
        <source>property %1 follows a nested object; properties come first</source>
        <translation>屬性 %1 位於巢狀物件之後；屬性必須寫在前面</translation>
    </message>
    <message>
        <source>a property name</source>
        <translation>屬性名稱</translation>
    </message>
    <message>
        <source>expected a value but found %1</source>
        <translation>應為值，但找到 %1</translation>
    </message>
    <message>
        <source>expected a string after &apos;+&apos; but found %1</source>
        <translation>&apos;+&apos; 之後應為字串，但找到 %1</translation>
    </message>
    <message>
        <source>a set element</source>
        <translation>列舉集合的元素</translation>
    </message>
    <message>
        <source>expected &apos;,&apos; or &apos;]&apos; but found %1</source>
        <translation>應為 &apos;,&apos; 或 &apos;]&apos;，但找到 %1</translation>
    </message>
    <message>
        <source>unterminated list (missing &apos;)&apos;)</source>
        <translation>清單沒有結束（缺少 &apos;)&apos;）</translation>
    </message>
    <message>
        <source>expected a list element or &apos;)&apos; but found %1</source>
        <translation>應為清單元素或 &apos;)&apos;，但找到 %1</translation>
    </message>
    <message>
        <source>unterminated collection (missing &apos;&gt;&apos;)</source>
        <translation>集合沒有結束（缺少 &apos;&gt;&apos;）</translation>
    </message>
    <message>
        <source>expected &apos;item&apos; or &apos;&gt;&apos; but found %1</source>
        <translation>應為 &apos;item&apos; 或 &apos;&gt;&apos;，但找到 %1</translation>
    </message>
    <message>
        <source>collection item is not terminated (missing &apos;end&apos;)</source>
        <translation>集合項目沒有結束（缺少 &apos;end&apos;）</translation>
    </message>
    <message>
        <source>expected a property or &apos;end&apos; but found %1</source>
        <translation>應為屬性或 &apos;end&apos;，但找到 %1</translation>
    </message>
    <message>
        <source>(form text)</source>
        <translation>（表單文字）</translation>
    </message>
    <message>
        <source>%1, line %2: %3</source>
        <translation>%1 第 %2 行：%3</translation>
    </message>
    <message>
        <source>an integer</source>
        <translation>整數</translation>
    </message>
    <message>
        <source>an identifier</source>
        <translation>識別字</translation>
    </message>
    <message>
        <source>a set</source>
        <translation>列舉集合</translation>
    </message>
    <message>
        <source>a list</source>
        <translation>清單</translation>
    </message>
    <message>
        <source>a collection</source>
        <translation>集合</translation>
    </message>
    <message>
        <source>a value</source>
        <translation>值</translation>
    </message>
</context>
<context>
    <name>FormReader</name>
    <message>
        <source>the integer %1</source>
        <translation>整數 %1</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1：%2</translation>
    </message>
    <message>
        <source>the form describes a %1, but it is loaded into a %2</source>
        <translation>表單描述的是 %1，卻載入到 %2</translation>
    </message>
    <message>
        <source>Class %1 not found</source>
        <translation>找不到類別 %1</translation>
    </message>
    <message>
        <source>class %1 is not a component that can be created</source>
        <translation>類別 %1 不是可以建立的元件</translation>
    </message>
    <message>
        <source>cannot create %1</source>
        <translation>無法建立 %1</translation>
    </message>
    <message>
        <source>the field %1 of %2 cannot hold a %3</source>
        <translation>%2 的成員 %1 無法存放 %3</translation>
    </message>
    <message>
        <source>cannot set the parent of %1</source>
        <translation>無法設定 %1 的上層控制項</translation>
    </message>
    <message>
        <source>property %1 does not exist in %2</source>
        <translation>%2 沒有屬性 %1</translation>
    </message>
    <message>
        <source>cannot read %1</source>
        <translation>無法讀取 %1</translation>
    </message>
    <message>
        <source>%1 has no object to read into</source>
        <translation>%1 沒有可讀入的物件</translation>
    </message>
    <message>
        <source>%1 is not an object with properties of its own</source>
        <translation>%1 不是具有自身屬性的物件</translation>
    </message>
    <message>
        <source>invalid value for %1: expected %2, found %3</source>
        <translation>%1 的值無效：應為%2，但找到 %3</translation>
    </message>
    <message>
        <source>the name of a handler</source>
        <translation>事件處理常式的名稱</translation>
    </message>
    <message>
        <source>the name of a component</source>
        <translation>元件名稱</translation>
    </message>
    <message>
        <source>error setting %1</source>
        <translation>設定 %1 時發生錯誤</translation>
    </message>
    <message>
        <source>property %1 is read-only</source>
        <translation>屬性 %1 是唯讀的</translation>
    </message>
    <message>
        <source>invalid value for %1: &apos;%2&apos; is not a %3 value</source>
        <translation>%1 的值無效：「%2」不是 %3 的值</translation>
    </message>
    <message>
        <source>an integer</source>
        <translation>整數</translation>
    </message>
    <message>
        <source>True or False</source>
        <translation>True 或 False</translation>
    </message>
    <message>
        <source>a %1 identifier</source>
        <translation>%1 識別字</translation>
    </message>
    <message>
        <source>a set</source>
        <translation>列舉集合</translation>
    </message>
    <message>
        <source>a string</source>
        <translation>字串</translation>
    </message>
    <message>
        <source>binary data</source>
        <translation>二進位資料</translation>
    </message>
    <message>
        <source>property %1 cannot be read from a form file</source>
        <translation>屬性 %1 無法從表單檔讀取</translation>
    </message>
    <message>
        <source>a list of strings</source>
        <translation>字串清單</translation>
    </message>
    <message>
        <source>a string in the list</source>
        <translation>清單中的字串</translation>
    </message>
    <message>
        <source>a collection</source>
        <translation>集合</translation>
    </message>
    <message>
        <source>invalid value for %1: it is an object, set its properties (%1.Name = value)</source>
        <translation>%1 的值無效：它是物件，請設定它的屬性（%1.Name = 值）</translation>
    </message>
    <message>
        <source>cannot clear %1</source>
        <translation>無法清除 %1</translation>
    </message>
    <message>
        <source>cannot add an item to %1</source>
        <translation>無法在 %1 中加入項目</translation>
    </message>
    <message>
        <source>error updating %1</source>
        <translation>更新 %1 時發生錯誤</translation>
    </message>
    <message>
        <source>%1 refers to a component named %2 that does not exist</source>
        <translation>%1 參照名為 %2 的元件，但沒有這個元件</translation>
    </message>
    <message>
        <source>%1 cannot refer to %2: it is a %3, not a %4</source>
        <translation>%1 無法參照 %2：它是 %3，不是 %4</translation>
    </message>
    <message>
        <source>%1 names the handler %2, which %3 does not publish</source>
        <translation>%1 指定事件處理常式 %2，但 %3 沒有公開它</translation>
    </message>
    <message>
        <source>the handler %1 of %2 has the wrong type for %3</source>
        <translation>%2 的事件處理常式 %1 與 %3 的類型不符</translation>
    </message>
    <message>
        <source>cannot bind %1</source>
        <translation>無法繫結 %1</translation>
    </message>
    <message>
        <source>error finishing %1</source>
        <translation>完成載入 %1 時發生錯誤</translation>
    </message>
    <message>
        <source>Cannot open file %1</source>
        <translation>無法開啟檔案 %1</translation>
    </message>
</context>
<context>
    <name>FormTool</name>
    <message>
        <source>[y/N]:</source>
        <translation>[y/N]：</translation>
    </message>
    <message>
        <source>The form has no component named %1</source>
        <translation>表單上沒有名為 %1 的元件</translation>
    </message>
    <message>
        <source>%1 has no DataField property</source>
        <translation>%1 沒有 DataField 屬性</translation>
    </message>
    <message>
        <source>Wrote %1</source>
        <translation>已寫入 %1</translation>
    </message>
    <message>
        <source>usage: zopfiledb-form palette
       zopfiledb-form fields FORM COMPONENT
       zopfiledb-form set-field FORM COMPONENT FIELD [--label yes|no] [--caption TEXT] [--output FILE]
       zopfiledb-form render FORM PNG
       zopfiledb-form texts FORM
</source>
        <translation>用法：zopfiledb-form palette
      zopfiledb-form fields 表單 元件
      zopfiledb-form set-field 表單 元件 欄位 [--label yes|no] [--caption 文字] [--output 檔案]
      zopfiledb-form render 表單 PNG
      zopfiledb-form texts 表單
</translation>
    </message>
    <message>
        <source>Design-time support on form files: the palette, the DataField property editor, and
pictures of forms.

Commands:
  palette                         the palette pages and their component classes
  fields FORM COMPONENT           the field names the DataField editor offers
  set-field FORM COMPONENT FIELD  sets the DataField through the editor, which may ask
                                  whether to add a caption label, and writes the form
                                  back, changing only the lines that changed
  render FORM PNG                 saves a picture of the form as a PNG file
  texts FORM                      the form&apos;s texts that are translated when it loads, as a
                                  source that lupdate reads

COMPONENT names a component (ZopFileDBEdit1) or a grid column, counted from 0
(ZopFileDBGrid1.Columns[1]). A form whose class this tool does not know is opened as a
plain form; its handlers are kept as the file names them.
</source>
        <translation>表單檔的設計時期工具：元件盤、DataField 屬性編輯器，以及表單的圖片。

命令：
  palette                         元件盤的各頁與其中的元件類別
  fields 表單 元件                DataField 編輯器提供的欄位名稱
  set-field 表單 元件 欄位        經由編輯器設定 DataField（編輯器可能詢問是否加上
                                  標題標籤），再寫回表單，只改動有變更的行
  render 表單 PNG                 將表單的圖片存成 PNG 檔
  texts 表單                      表單載入時要翻譯的文字，以 lupdate 可讀的原始碼列出

元件指的是一個元件（ZopFileDBEdit1）或格線的一欄，從 0 起算
（ZopFileDBGrid1.Columns[1]）。本工具不認識其類別的表單會以一般表單開啟；
其事件處理常式照檔案所寫的保留。
</translation>
    </message>
    <message>
        <source>The item in %1 must be a number from 0 in brackets: %2</source>
        <translation>%1 中的項目必須是方括號中從 0 起算的數字：%2</translation>
    </message>
    <message>
        <source>%1 has no property %2 holding an object</source>
        <translation>%1 沒有存放物件的屬性 %2</translation>
    </message>
    <message>
        <source>%1 is not a collection</source>
        <translation>%1 不是集合</translation>
    </message>
    <message>
        <source>%1 has no item %2 (it has %3, counted from 0)</source>
        <translation>%1 沒有第 %2 項（它有 %3 項，從 0 起算）</translation>
    </message>
    <message>
        <source>%1 has no properties to edit</source>
        <translation>%1 沒有可編輯的屬性</translation>
    </message>
    <message>
        <source>The form %1 is laid out so that the change cannot be made on lines of its own, and its class is not known here to write it whole</source>
        <translation>表單 %1 的排列方式使這項變更無法只寫在它自己的行上，而本工具不認識它的類別，無法整份寫出</translation>
    </message>
    <message>
        <source>The form&apos;s top object is a %1, not a form</source>
        <translation>表單的最上層物件是 %1，不是表單</translation>
    </message>
    <message>
        <source>The picture of the form could not be made</source>
        <translation>無法產生表單的圖片</translation>
    </message>
    <message>
        <source>set-field: add a caption label (yes) or not (no), without asking</source>
        <translation>set-field：不經詢問，加上標題標籤（yes）或不加（no）</translation>
    </message>
    <message>
        <source>set-field: the caption label&apos;s text, without asking</source>
        <translation>set-field：不經詢問，標題標籤的文字</translation>
    </message>
    <message>
        <source>set-field: write the form to FILE instead</source>
        <translation>set-field：改將表單寫到檔案</translation>
    </message>
    <message>
        <source>no command given</source>
        <translation>沒有指定命令</translation>
    </message>
    <message>
        <source>no arguments</source>
        <translation>不帶引數</translation>
    </message>
    <message>
        <source>unknown command &apos;%1&apos;</source>
        <translation>不明的命令「%1」</translation>
    </message>
    <message>
        <source>%1 takes %2</source>
        <translation>%1 的引數為 %2</translation>
    </message>
    <message>
        <source>--%1 is an option of set-field only</source>
        <translation>--%1 只是 set-field 的選項</translation>
    </message>
    <message>
        <source>--label takes yes or no, not &apos;%1&apos;</source>
        <translation>--label 的值為 yes 或 no，不是「%1」</translation>
    </message>
    <message>
        <source>Try &apos;zopfiledb-form --help&apos; for more.</source>
        <translation>執行「zopfiledb-form --help」以取得更多說明。</translation>
    </message>
</context>
<context>
    <name>FormWriter</name>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>無法寫出 %1：%2</translation>
    </message>
    <message>
        <source>it is listed twice among the form&apos;s children</source>
        <translation>它在表單的子元件中出現兩次</translation>
    </message>
    <message>
        <source>%1 is not a %2 value</source>
        <translation>%1 不是 %2 的值</translation>
    </message>
    <message>
        <source>the property&apos;s type cannot be written</source>
        <translation>這個屬性的類型無法寫出</translation>
    </message>
    <message>
        <source>the set holds an element outside %1</source>
        <translation>列舉集合含有 %1 以外的元素</translation>
    </message>
    <message>
        <source>it refers to a component that is not a named component of %1</source>
        <translation>它參照的元件不是 %1 中具名的元件</translation>
    </message>
    <message>
        <source>its handler is not one that %1 publishes</source>
        <translation>它的事件處理常式不是 %1 公開的</translation>
    </message>
    <message>
        <source>Cannot create file %1</source>
        <translation>無法建立檔案 %1</translation>
    </message>
    <message>
        <source>Cannot write file %1</source>
        <translation>無法寫入檔案 %1</translation>
    </message>
    <message>
        <source>Cannot create file %1: %2</source>
        <translation>無法建立檔案 %1：%2</translation>
    </message>
</context>
<context>
    <name>Guid</name>
    <message>
        <source>&apos;%1&apos; is not a valid GUID value</source>
        <translation>「%1」不是有效的 GUID 值</translation>
    </message>
</context>
<context>
    <name>OleVariant</name>
    <message>
        <source>Variant overflow</source>
        <translation>Variant 溢位</translation>
    </message>
    <message>
        <source>Could not convert variant of type (%1) into type (%2)</source>
        <translation>無法將類型（%1）的 Variant 轉換成類型（%2）</translation>
    </message>
</context>
<context>
    <name>PgConnection</name>
    <message>
        <source>the connection is closed</source>
        <translation>連線已關閉</translation>
    </message>
    <message>
        <source>no reason given</source>
        <translation>沒有說明原因</translation>
    </message>
    <message>
        <source>%1 milliseconds</source>
        <translation>%1 毫秒</translation>
    </message>
    <message>
        <source>1 second</source>
        <translation>1 秒</translation>
    </message>
    <message>
        <source>%1 seconds</source>
        <translation>%1 秒</translation>
    </message>
    <message>
        <source>a statement</source>
        <translation>一道陳述式</translation>
    </message>
    <message>
        <source>the preparation of a statement</source>
        <translation>陳述式的準備</translation>
    </message>
    <message>
        <source>a write</source>
        <translation>一次寫入</translation>
    </message>
    <message>
        <source>a read of what the server sent</source>
        <translation>讀取伺服器送來的內容</translation>
    </message>
    <message>
        <source>; the write may or may not have been stored (look before writing it again)</source>
        <translation>；這次寫入可能已存入，也可能沒有（再寫入前請先查看）</translation>
    </message>
    <message>
        <source>Cannot connect to the PostgreSQL server %1: %2.</source>
        <translation>無法連線到 PostgreSQL 伺服器 %1：%2。</translation>
    </message>
    <message>
        <source>The connection to the PostgreSQL server %1 was lost during %2 (%3)%4; the next operation connects again.</source>
        <translation>與 PostgreSQL 伺服器 %1 的連線在%2時中斷（%3）%4；下一個操作會重新連線。</translation>
    </message>
    <message>
        <source>The PostgreSQL server %1 refused %2: %3.</source>
        <translation>PostgreSQL 伺服器 %1 拒絕了%2：%3。</translation>
    </message>
    <message>
        <source>The PostgreSQL server %1 did not answer %2 within %3, its statement limit, so the connection was closed%4; the next operation connects again.</source>
        <translation>PostgreSQL 伺服器 %1 沒有在陳述式時限 %3 內回應%2，因此連線已關閉%4；下一個操作會重新連線。</translation>
    </message>
    <message>
        <source>The PostgreSQL server %1 cannot take %2: a value holds a NUL character, which PostgreSQL&apos;s text cannot hold.</source>
        <translation>PostgreSQL 伺服器 %1 無法接受%2：有個值含有 NUL 字元，PostgreSQL 的文字無法存放。</translation>
    </message>
    <message>
        <source>a value holds a NUL character</source>
        <translation>有個值含有 NUL 字元</translation>
    </message>
</context>
<context>
    <name>PgSettings</name>
    <message>
        <source>out of memory</source>
        <translation>記憶體不足</translation>
    </message>
    <message>
        <source>The PostgreSQL connection URI %1 cannot be read: %2.</source>
        <translation>無法解讀 PostgreSQL 連線 URI %1：%2。</translation>
    </message>
</context>
<context>
    <name>PgSocketWake</name>
    <message>
        <source>Commits to the table cannot be watched: the system gives no event set (%1).</source>
        <translation>無法監看對資料表的認可：系統不提供事件集合（%1）。</translation>
    </message>
</context>
<context>
    <name>PostgresRecordStore</name>
    <message>
        <source>%1 may not be written by this user: %2.</source>
        <translation>%1不允許此使用者寫入：%2。</translation>
    </message>
    <message>
        <source>Field %1: the value %2 holds a NUL character, which a PostgreSQL table cannot store.</source>
        <translation>欄位 %1：值 %2 含有 NUL 字元，PostgreSQL 資料表無法儲存。</translation>
    </message>
    <message>
        <source>The table name %1 is longer than the %2 bytes that PostgreSQL keeps of a name (schema file %3).</source>
        <translation>資料表名稱 %1 超過 PostgreSQL 名稱保留的 %2 個位元組（結構檔 %3）。</translation>
    </message>
    <message>
        <source>The field name %1 is longer than the %2 bytes that PostgreSQL keeps of a name (schema file %3).</source>
        <translation>欄位名稱 %1 超過 PostgreSQL 名稱保留的 %2 個位元組（結構檔 %3）。</translation>
    </message>
    <message>
        <source>The table %1 in the PostgreSQL database %2</source>
        <translation>PostgreSQL 資料庫 %2 中的資料表 %1</translation>
    </message>
    <message>
        <source>%1 cannot be opened: the names that the server gives its change log, key index and triggers are taken by the table %2, whose name shortens to the same %3; rename one of the two tables.</source>
        <translation>%1無法開啟：伺服器給它的變更記錄、鍵值索引與觸發程序的名稱已被資料表 %2 使用，其名稱縮短後同樣是 %3；請將其中一個資料表改名。</translation>
    </message>
    <message>
        <source>its column zfd_id gives a new record no id (it is neither an identity column nor has a default)</source>
        <translation>它的 zfd_id 欄不會給新資料編號（既不是識別欄，也沒有預設值）</translation>
    </message>
    <message>
        <source>its column zfd_ver gives a new record no version (it has no default)</source>
        <translation>它的 zfd_ver 欄不會給新資料版本（沒有預設值）</translation>
    </message>
    <message>
        <source>it has no column %1</source>
        <translation>它沒有 %1 欄</translation>
    </message>
    <message>
        <source>its column %1 is %2 where %3 is needed</source>
        <translation>它的 %1 欄是 %2，需要的是 %3</translation>
    </message>
    <message>
        <source>it has a column %1 that the schema does not list</source>
        <translation>它有結構檔沒有列出的 %1 欄</translation>
    </message>
    <message>
        <source>%1 does not match the schema file %2: %3.</source>
        <translation>%1與結構檔 %2 不符：%3。</translation>
    </message>
    <message>
        <source>%1 has another key than the schema file %2 gives it.</source>
        <translation>%1的鍵值與結構檔 %2 給的不同。</translation>
    </message>
    <message>
        <source>%1 holds records with the same key, so its key fields cannot be enforced.</source>
        <translation>%1有鍵值相同的資料，因此無法強制其鍵值欄位。</translation>
    </message>
    <message>
        <source>%1 holds a record whose key field %2 holds %3, %4, so the key cannot be indexed.</source>
        <translation>%1有一筆資料的鍵值欄位 %2 存放 %3，%4，因此無法為鍵值建立索引。</translation>
    </message>
    <message>
        <source>%1 has a change log made by an earlier version of the server, which this user may not bring up to date; open the table once as a user who may (its owner).</source>
        <translation>%1的變更記錄由較早版本的伺服器建立，此使用者無權更新；請以有權的使用者（其擁有者）開啟資料表一次。</translation>
    </message>
    <message>
        <source>%1 has no key-order summary that is up to date, which this user may not make; open the table once as a user who may (its owner).</source>
        <translation>%1沒有最新的鍵值順序摘要，而此使用者無權建立；請以有權的使用者（其擁有者）開啟資料表一次。</translation>
    </message>
</context>
<context>
    <name>RecordChecks</name>
    <message>
        <source>The key field %1 is empty (value %2): every record needs a value in its key fields.</source>
        <translation>鍵值欄位 %1 是空的（值 %2）：每筆資料的鍵值欄位都必須有值。</translation>
    </message>
    <message>
        <source>Field %1: the value %2 is refused: a number&apos;s exponent may have at most %3 digits.</source>
        <translation>欄位 %1：值 %2 不被接受：數字的指數最多只能有 %3 位數。</translation>
    </message>
    <message>
        <source>Field %1: the value %2 is not a number.</source>
        <translation>欄位 %1：值 %2 不是數字。</translation>
    </message>
    <message>
        <source>Field %1: the value %2 is refused: a number may have at most %3 digits before the point and %4 after it.</source>
        <translation>欄位 %1：值 %2 不被接受：數字的小數點前最多 %3 位、小數點後最多 %4 位。</translation>
    </message>
    <message>
        <source>Field %1: the value %2 has %3 characters, more than the %4 the field holds.</source>
        <translation>欄位 %1：值 %2 有 %3 個字元，超過欄位可容納的 %4 個。</translation>
    </message>
    <message>
        <source>Key %1: the value %2 is already the key of another record.</source>
        <translation>鍵值 %1：值 %2 已經是另一筆資料的鍵值。</translation>
    </message>
    <message>
        <source>Field %1: the value %2 %3.</source>
        <translation>欄位 %1：值 %2 %3。</translation>
    </message>
</context>
<context>
    <name>RecordStore</name>
    <message>
        <source>The filter names the field %1, which the table %2 does not have.</source>
        <translation>過濾條件指定的欄位 %1 不在資料表 %2 中。</translation>
    </message>
</context>
<context>
    <name>RecordStoreFactory</name>
    <message>
        <source>Cannot open the access file %1: it is %2, not a database file.</source>
        <translation>無法開啟存取檔 %1：它是%2，不是資料庫檔案。</translation>
    </message>
</context>
<context>
    <name>Schema</name>
    <message>
        <source>a name is missing</source>
        <translation>缺少名稱</translation>
    </message>
    <message>
        <source>the name %1 is longer than 64 bytes</source>
        <translation>名稱 %1 超過 64 個位元組</translation>
    </message>
    <message>
        <source>the name %1 starts with a digit</source>
        <translation>名稱 %1 以數字開頭</translation>
    </message>
    <message>
        <source>the name %1 may hold only letters, digits and &apos;_&apos; (found %2)</source>
        <translation>名稱 %1 只能包含字母、數字和 &apos;_&apos;（找到 %2）</translation>
    </message>
    <message>
        <source>the name %1 is reserved (names may not start with zfd_ or sqlite_)</source>
        <translation>名稱 %1 是保留名稱（名稱不可以 zfd_ 或 sqlite_ 開頭）</translation>
    </message>
    <message>
        <source>the user name %1 holds the control character %2</source>
        <translation>使用者名稱 %1 含有控制字元 %2</translation>
    </message>
    <message>
        <source>the line is not UTF-8 text (save the schema file in UTF-8)</source>
        <translation>這一行不是 UTF-8 文字（請以 UTF-8 儲存結構檔）</translation>
    </message>
    <message>
        <source>no table name is given (a [Table] section with Name = ...)</source>
        <translation>沒有指定資料表名稱（需要含 Name = ... 的 [Table] 區段）</translation>
    </message>
    <message>
        <source>no fields are given (a [Fields] section)</source>
        <translation>沒有指定欄位（需要 [Fields] 區段）</translation>
    </message>
    <message>
        <source>the [Users] section lists no users</source>
        <translation>[Users] 區段沒有列出任何使用者</translation>
    </message>
    <message>
        <source>Schema file %1, line %2: %3.</source>
        <translation>結構檔 %1，第 %2 行：%3。</translation>
    </message>
    <message>
        <source>Schema file %1: %2.</source>
        <translation>結構檔 %1：%2。</translation>
    </message>
    <message>
        <source>a line outside any section (start with [Table], [Fields] or [Users])</source>
        <translation>這一行不在任何區段內（請以 [Table]、[Fields] 或 [Users] 開始）</translation>
    </message>
    <message>
        <source>a section header must end with &apos;]&apos;</source>
        <translation>區段標頭必須以 &apos;]&apos; 結尾</translation>
    </message>
    <message>
        <source>unknown section [%1] (expected [Table], [Fields] or [Users])</source>
        <translation>不明的區段 [%1]（應為 [Table]、[Fields] 或 [Users]）</translation>
    </message>
    <message>
        <source>the section [%1] appears twice</source>
        <translation>區段 [%1] 出現了兩次</translation>
    </message>
    <message>
        <source>expected %1</source>
        <translation>應為 %1</translation>
    </message>
    <message>
        <source>Name = &lt;table name&gt;</source>
        <translation>Name = &lt;資料表名稱&gt;</translation>
    </message>
    <message>
        <source>unknown setting %1 in [Table] (expected Name)</source>
        <translation>[Table] 中不明的設定 %1（應為 Name）</translation>
    </message>
    <message>
        <source>the table name is given twice</source>
        <translation>資料表名稱指定了兩次</translation>
    </message>
    <message>
        <source>table name: %1</source>
        <translation>資料表名稱：%1</translation>
    </message>
    <message>
        <source>field name: %1</source>
        <translation>欄位名稱：%1</translation>
    </message>
    <message>
        <source>the field %1 is declared twice</source>
        <translation>欄位 %1 宣告了兩次</translation>
    </message>
    <message>
        <source>the size of field %1 must be a whole number from 1 to 65535, not %2</source>
        <translation>欄位 %1 的大小必須是 1 到 65535 的整數，而不是 %2</translation>
    </message>
    <message>
        <source>expected Key or nothing after the size of field %1</source>
        <translation>欄位 %1 的大小之後應為 Key 或什麼都沒有</translation>
    </message>
    <message>
        <source>&lt;user name&gt; = Read or Write</source>
        <translation>&lt;使用者名稱&gt; = Read 或 Write</translation>
    </message>
    <message>
        <source>a user name is missing</source>
        <translation>缺少使用者名稱</translation>
    </message>
    <message>
        <source>the right of user %1 must be Read or Write, not %2</source>
        <translation>使用者 %1 的權限必須是 Read 或 Write，而不是 %2</translation>
    </message>
    <message>
        <source>the user %1 is listed twice</source>
        <translation>使用者 %1 列出了兩次</translation>
    </message>
    <message>
        <source>Cannot read the schema file %1.</source>
        <translation>無法讀取結構檔 %1。</translation>
    </message>
    <message>
        <source>a field is written as: name, type, size[, Key] (the size may be left out for Date and Boolean)</source>
        <translation>欄位的寫法為：名稱, 型別, 大小[, Key]（Date 與 Boolean 可省略大小）</translation>
    </message>
    <message>
        <source>unknown type %1 of field %2 (expected Text, Number, Integer, Decimal(n) with n decimals, Date or Boolean)</source>
        <translation>欄位 %2 的型別 %1 不明（應為 Text、Number、Integer、有 n 位小數的 Decimal(n)、Date 或 Boolean）</translation>
    </message>
    <message>
        <source>the size of field %1 must be at least %2 for a %3 field, not %4</source>
        <translation>%3 欄位 %1 的大小至少要 %2，不能是 %4</translation>
    </message>
</context>
<context>
    <name>SqliteDb</name>
    <message>
        <source>cannot bind a value</source>
        <translation>無法繫結值</translation>
    </message>
    <message>
        <source>cannot open the database %1: %2</source>
        <translation>無法開啟資料庫 %1：%2</translation>
    </message>
    <message>
        <source>SQL failed</source>
        <translation>SQL 執行失敗</translation>
    </message>
    <message>
        <source>cannot prepare a statement</source>
        <translation>無法準備陳述式</translation>
    </message>
</context>
<context>
    <name>SqliteRecordStore</name>
    <message>
        <source>%1 second</source>
        <translation>%1 秒</translation>
    </message>
    <message>
        <source>%1 seconds</source>
        <translation>%1 秒</translation>
    </message>
    <message>
        <source>the memory table of %1</source>
        <translation>%1 的記憶體資料表</translation>
    </message>
    <message>
        <source>the file %1</source>
        <translation>檔案 %1</translation>
    </message>
    <message>
        <source>Cannot open the access file %1: the folder %2 must be writable, for the table&apos;s journal beside the file (%3).</source>
        <translation>無法開啟存取檔 %1：資料夾 %2 必須可以寫入，才能在檔案旁建立資料表的日誌（%3）。</translation>
    </message>
    <message>
        <source>Cannot open the access file %1: %2</source>
        <translation>無法開啟存取檔 %1：%2</translation>
    </message>
    <message>
        <source>The record storage failed: %1</source>
        <translation>資料儲存發生錯誤：%1</translation>
    </message>
    <message>
        <source>The table %1 in %2 stayed locked by other writers for %3, so the record was not written; try again.</source>
        <translation>%2 中的資料表 %1 被其他寫入者鎖定了 %3，所以資料沒有寫入；請再試一次。</translation>
    </message>
</context>
<context>
    <name>SqliteTableSetup</name>
    <message>
        <source>The table %1 in %2 was not made by this server (it lacks the columns zfd_id and zfd_ver).</source>
        <translation>%2 中的資料表 %1 不是這個伺服器建立的（缺少 zfd_id 和 zfd_ver 欄）。</translation>
    </message>
    <message>
        <source>The table %1 in %2 holds records with the same key, so its key fields cannot be enforced.</source>
        <translation>%2 中的資料表 %1 有鍵值相同的資料，因此無法強制鍵值欄位不重複。</translation>
    </message>
</context>
<context>
    <name>SysErrorMessage</name>
    <message>
        <source>The operation completed successfully.</source>
        <translation>作業已順利完成。</translation>
    </message>
    <message>
        <source>Incorrect function.</source>
        <translation>函式不正確。</translation>
    </message>
    <message>
        <source>Not implemented</source>
        <translation>尚未實作</translation>
    </message>
    <message>
        <source>No such interface supported</source>
        <translation>不支援此介面</translation>
    </message>
    <message>
        <source>Invalid pointer</source>
        <translation>指標無效</translation>
    </message>
    <message>
        <source>Operation aborted</source>
        <translation>作業已中止</translation>
    </message>
    <message>
        <source>Unspecified error</source>
        <translation>未指定的錯誤</translation>
    </message>
    <message>
        <source>Catastrophic failure</source>
        <translation>嚴重失敗</translation>
    </message>
    <message>
        <source>Access is denied.</source>
        <translation>存取被拒。</translation>
    </message>
    <message>
        <source>Not enough memory resources are available to complete this operation.</source>
        <translation>沒有足夠的記憶體可完成此作業。</translation>
    </message>
    <message>
        <source>The parameter is incorrect.</source>
        <translation>參數不正確。</translation>
    </message>
    <message>
        <source>Class not registered</source>
        <translation>類別未登錄</translation>
    </message>
    <message>
        <source>Class does not support aggregation (or class object is remote)</source>
        <translation>類別不支援彙總（或類別物件在遠端）</translation>
    </message>
    <message>
        <source>CoInitialize has not been called.</source>
        <translation>尚未呼叫 CoInitialize。</translation>
    </message>
    <message>
        <source>Type mismatch.</source>
        <translation>型別不符。</translation>
    </message>
    <message>
        <source>Unknown name.</source>
        <translation>名稱不明。</translation>
    </message>
    <message>
        <source>Unknown error 0x%1</source>
        <translation>不明的錯誤 0x%1</translation>
    </message>
</context>
<context>
    <name>TAccessibleTable</name>
    <message>
        <source>%1, row %2: %3</source>
        <translation>%1，第 %2 列：%3</translation>
    </message>
</context>
<context>
    <name>TApplication</name>
    <message>
        <source>Unknown exception</source>
        <translation>不明的例外狀況</translation>
    </message>
    <message>
        <source>Application</source>
        <translation>應用程式</translation>
    </message>
</context>
<context>
    <name>TBitmap</name>
    <message>
        <source>Bitmap data is not a BMP or PNG image</source>
        <translation>點陣圖資料不是 BMP 或 PNG 圖片</translation>
    </message>
    <message>
        <source>Cannot load the image file %1</source>
        <translation>無法載入圖檔 %1</translation>
    </message>
    <message>
        <source>Cannot save the image file %1</source>
        <translation>無法儲存圖檔 %1</translation>
    </message>
</context>
<context>
    <name>TCollection</name>
    <message>
        <source>List index out of bounds (%1)</source>
        <translation>清單索引超出範圍（%1）</translation>
    </message>
</context>
<context>
    <name>TComponent</name>
    <message>
        <source>List index out of bounds (%1)</source>
        <translation>清單索引超出範圍（%1）</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid component name</source>
        <translation>「%1」不是有效的元件名稱</translation>
    </message>
    <message>
        <source>A component named %1 already exists</source>
        <translation>已經有名為 %1 的元件</translation>
    </message>
</context>
<context>
    <name>TControl</name>
    <message>
        <source>%1 %2 is out of range: positions and sizes of a control lie from %3 to %4</source>
        <translation>%1 %2 超出範圍：控制項的位置與大小介於 %3 到 %4 之間</translation>
    </message>
    <message>
        <source>A control cannot be its own parent</source>
        <translation>控制項不能是自己的上層控制項</translation>
    </message>
</context>
<context>
    <name>TFields</name>
    <message>
        <source>List index out of bounds (%1)</source>
        <translation>清單索引超出範圍（%1）</translation>
    </message>
</context>
<context>
    <name>TFont</name>
    <message>
        <source>Font height %1 is out of range: from %2 to %3</source>
        <translation>字型高度 %1 超出範圍：應在 %2 到 %3 之間</translation>
    </message>
    <message>
        <source>Font size %1 is out of range: from %2 to %3</source>
        <translation>字型大小 %1 超出範圍：應在 %2 到 %3 之間</translation>
    </message>
</context>
<context>
    <name>TForm</name>
    <message>
        <source>No form file for the class %1</source>
        <translation>類別 %1 沒有表單檔</translation>
    </message>
    <message>
        <source>Cannot open file %1</source>
        <translation>無法開啟檔案 %1</translation>
    </message>
</context>
<context>
    <name>TForm1</name>
    <message>
        <source>Memory Table Demo App</source>
        <translation>Memory Table Demo App</translation>
    </message>
    <message>
        <source>CustNo</source>
        <translation>CustNo</translation>
    </message>
    <message>
        <source>Record Count : </source>
        <translation>Record Count : </translation>
    </message>
    <message>
        <source>First</source>
        <translation>First</translation>
    </message>
    <message>
        <source>Prior</source>
        <translation>Prior</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>Last</source>
        <translation>Last</translation>
    </message>
    <message>
        <source>Insert</source>
        <translation>Insert</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>Query</source>
        <translation>Query</translation>
    </message>
    <message>
        <source>Post</source>
        <translation>Post</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>客戶編號</source>
        <translation>客戶編號</translation>
    </message>
    <message>
        <source>公司名稱</source>
        <translation>公司名稱</translation>
    </message>
    <message>
        <source>公司地址</source>
        <translation>公司地址</translation>
    </message>
    <message>
        <source>聯絡地址</source>
        <translation>聯絡地址</translation>
    </message>
    <message>
        <source>City</source>
        <translation>City</translation>
    </message>
    <message>
        <source>State</source>
        <translation>State</translation>
    </message>
    <message>
        <source>Zip</source>
        <translation>Zip</translation>
    </message>
    <message>
        <source>Country</source>
        <translation>Country</translation>
    </message>
    <message>
        <source>Phone</source>
        <translation>Phone</translation>
    </message>
    <message>
        <source>FAX</source>
        <translation>FAX</translation>
    </message>
    <message>
        <source>TaxRate</source>
        <translation>TaxRate</translation>
    </message>
    <message>
        <source>Contact</source>
        <translation>Contact</translation>
    </message>
    <message>
        <source>LastInvoiceDate</source>
        <translation>LastInvoiceDate</translation>
    </message>
    <message>
        <source>資料過濾</source>
        <translation>資料過濾</translation>
    </message>
    <message>
        <source>條件1.</source>
        <translation>條件1.</translation>
    </message>
    <message>
        <source>條件2.</source>
        <translation>條件2.</translation>
    </message>
    <message>
        <source>資料過濾指令格式(None SQL Command)</source>
        <translation>資料過濾指令格式(None SQL Command)</translation>
    </message>
    <message>
        <source>說明+,+欄位名稱+,+起始碼+,+結束碼+,+比對碼+,+欄位值+,</source>
        <translation>說明+,+欄位名稱+,+起始碼+,+結束碼+,+比對碼+,+欄位值+,</translation>
    </message>
    <message>
        <source>過濾後的第幾筆資料 : </source>
        <translation>過濾後的第幾筆資料 : </translation>
    </message>
    <message>
        <source>過濾客戶開始條件,CustNo,1,2,&gt;=,13,</source>
        <translation>過濾客戶開始條件,CustNo,1,2,&gt;=,13,</translation>
    </message>
    <message>
        <source>過濾客戶結束條件,CustNo,1,2,&lt;=,62,</source>
        <translation>過濾客戶結束條件,CustNo,1,2,&lt;=,62,</translation>
    </message>
    <message>
        <source>開始過濾</source>
        <translation>開始過濾</translation>
    </message>
    <message>
        <source>取消過濾</source>
        <translation>取消過濾</translation>
    </message>
    <message>
        <source>Add Datas</source>
        <translation>Add Datas</translation>
    </message>
    <message>
        <source>Empty Table</source>
        <translation>Empty Table</translation>
    </message>
    <message>
        <source>查詢目前資料--&gt;</source>
        <translation>查詢目前資料--&gt;</translation>
    </message>
    <message>
        <source>The table could not be emptied: the server did not delete its records.</source>
        <translation>資料表無法清空：伺服器沒有刪除它的資料。</translation>
    </message>
    <message>
        <source>These filter lines were not applied:</source>
        <translation>這些過濾條件沒有套用：</translation>
    </message>
    <message numerus="yes">
        <source>%n of %1 rows were not added. %2</source>
        <translation>
            <numerusform>%1 筆資料中有 %n 筆沒有加入。%2</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TGridCell</name>
    <message>
        <source>資料已經被修改!! 是否要儲存 ??</source>
        <translation>資料已經被修改!! 是否要儲存 ??</translation>
    </message>
    <message>
        <source>要修改的這筆資料已經被其他使用者修改過了!!
<byte value="xd"/>準備更新目前最新資料!!</source>
        <translation>要修改的這筆資料已經被其他使用者修改過了!!
<byte value="xd"/>準備更新目前最新資料!!</translation>
    </message>
</context>
<context>
    <name>TGridColumns</name>
    <message>
        <source>TGridColumns needs an item class derived from TColumnItem</source>
        <translation>TGridColumns 需要衍生自 TColumnItem 的項目類別</translation>
    </message>
</context>
<context>
    <name>TMenuItem</name>
    <message>
        <source>Menu index out of range (%1)</source>
        <translation>選單索引超出範圍（%1）</translation>
    </message>
    <message>
        <source>A menu item cannot contain itself</source>
        <translation>選單項目不能包含自己</translation>
    </message>
</context>
<context>
    <name>TPersistent</name>
    <message>
        <source>Cannot assign a %1 to a %2</source>
        <translation>無法將 %1 指派給 %2</translation>
    </message>
</context>
<context>
    <name>TPropertyEditor</name>
    <message>
        <source>A property editor needs a selected component</source>
        <translation>屬性編輯器需要一個已選取的元件</translation>
    </message>
    <message>
        <source>List index out of bounds (%1)</source>
        <translation>清單索引超出範圍（%1）</translation>
    </message>
</context>
<context>
    <name>TStrings</name>
    <message>
        <source>List index out of bounds (%1)</source>
        <translation>清單索引超出範圍（%1）</translation>
    </message>
    <message>
        <source>Operation not allowed on sorted list</source>
        <translation>已排序的清單不允許這項操作</translation>
    </message>
    <message>
        <source>String list does not allow duplicates</source>
        <translation>字串清單不允許重複的項目</translation>
    </message>
</context>
<context>
    <name>TTable</name>
    <message>
        <source>Cannot read the table: %1</source>
        <translation>無法讀取資料表：%1</translation>
    </message>
    <message>
        <source>Cannot change %1 of an open table</source>
        <translation>無法變更已開啟資料表的%1</translation>
    </message>
    <message>
        <source>the database name</source>
        <translation>資料庫名稱</translation>
    </message>
    <message>
        <source>the table name</source>
        <translation>資料表名稱</translation>
    </message>
    <message>
        <source>Unknown database alias: %1</source>
        <translation>不明的資料庫別名：%1</translation>
    </message>
    <message>
        <source>Table does not exist: %1</source>
        <translation>資料表不存在：%1</translation>
    </message>
    <message>
        <source>Cannot open %1: %2</source>
        <translation>無法開啟 %1：%2</translation>
    </message>
    <message>
        <source>Table %1 does not exist in %2</source>
        <translation>資料表 %1 不在 %2 中</translation>
    </message>
    <message>
        <source>Cannot perform this operation on a closed dataset</source>
        <translation>無法對已關閉的資料集執行此作業</translation>
    </message>
</context>
<context>
    <name>TTableSession</name>
    <message>
        <source>number %1 (without description)</source>
        <translation>第 %1 個（沒有說明）</translation>
    </message>
    <message>
        <source>insert</source>
        <translation>新增</translation>
    </message>
    <message>
        <source>edit</source>
        <translation>修改</translation>
    </message>
    <message>
        <source>delete</source>
        <translation>刪除</translation>
    </message>
    <message>
        <source>post</source>
        <translation>儲存</translation>
    </message>
    <message>
        <source>access file</source>
        <translation>存取檔</translation>
    </message>
    <message>
        <source>schema file</source>
        <translation>結構檔</translation>
    </message>
    <message>
        <source>The %1 name %2... is refused: it holds a NUL character.</source>
        <translation>%1名稱 %2... 不被接受：它含有 NUL 字元。</translation>
    </message>
    <message>
        <source>A notification handler of the record server failed.</source>
        <translation>資料伺服器的通知處理程序發生錯誤。</translation>
    </message>
    <message>
        <source>The access user is refused: %1.</source>
        <translation>存取使用者不被接受：%1。</translation>
    </message>
    <message>
        <source>The read-only switch can be changed only while the table is closed.</source>
        <translation>唯讀設定只能在資料表關閉時變更。</translation>
    </message>
    <message>
        <source>No schema file is named (set SchemaFileName).</source>
        <translation>沒有指定結構檔（請設定 SchemaFileName）。</translation>
    </message>
    <message>
        <source>The schema file %1 cannot be read: %2 is %3, not a file.</source>
        <translation>無法讀取結構檔 %1：%2 是%3，不是檔案。</translation>
    </message>
    <message>
        <source> or </source>
        <translation> 或 </translation>
    </message>
    <message>
        <source>The schema file %1 was not found (looked for %2).</source>
        <translation>找不到結構檔 %1（找過 %2）。</translation>
    </message>
    <message>
        <source>The table %1 has no field %2.</source>
        <translation>資料表 %1 沒有欄位 %2。</translation>
    </message>
    <message>
        <source>The table is not open.</source>
        <translation>資料表沒有開啟。</translation>
    </message>
    <message>
        <source>The user %1 may only read the table %2: cannot %3 a record.</source>
        <translation>使用者 %1 只能讀取資料表 %2：無法%3資料。</translation>
    </message>
    <message>
        <source>The table %1 was opened read-only: cannot %2 a record.</source>
        <translation>資料表 %1 以唯讀方式開啟：無法%2資料。</translation>
    </message>
    <message>
        <source>There is no current record to %1.</source>
        <translation>沒有目前的資料可以%1。</translation>
    </message>
    <message>
        <source>No access user is given (set AccessUser): the table %1 (schema file %2) may be opened only by the users it lists.</source>
        <translation>沒有指定存取使用者（請設定 AccessUser）：資料表 %1（結構檔 %2）只能由它列出的使用者開啟。</translation>
    </message>
    <message>
        <source>The user %1 may not open the table %2 (schema file %3).</source>
        <translation>使用者 %1 不可以開啟資料表 %2（結構檔 %3）。</translation>
    </message>
    <message>
        <source>The record was deleted by another user, so the %1 was refused. The record now under the cursor is shown.</source>
        <translation>這筆資料已經被其他使用者刪除，所以%1被拒絕。現在顯示的是游標所在的資料。</translation>
    </message>
    <message>
        <source>The record was changed by another user since it was read, so the %1 was refused. Its current values are shown; try again.</source>
        <translation>這筆資料在讀取後已經被其他使用者修改，所以%1被拒絕。現在顯示的是它目前的內容；請再試一次。</translation>
    </message>
    <message>
        <source>There is no field number %1: the table %2 has %3 fields, numbered from 0.</source>
        <translation>沒有第 %1 號欄位：資料表 %2 有 %3 個欄位，從 0 開始編號。</translation>
    </message>
    <message>
        <source>No field name is given for the value %1.</source>
        <translation>值 %1 沒有指定欄位名稱。</translation>
    </message>
    <message>
        <source>The field %1 cannot be set: the table is not in Edit or Insert (call Edit or Insert first).</source>
        <translation>無法設定欄位 %1：資料表不在 Edit 或 Insert 狀態（請先呼叫 Edit 或 Insert）。</translation>
    </message>
    <message>
        <source>A record became pending while the insert began; nothing was inserted.</source>
        <translation>開始新增時另有一筆資料待處理；沒有新增任何資料。</translation>
    </message>
    <message>
        <source>A new record is being inserted: post or cancel it before editing another.</source>
        <translation>正在新增一筆資料：請先儲存或取消它，再修改其他資料。</translation>
    </message>
    <message>
        <source>The record was changed or deleted by another user since it was read, so it was not deleted.</source>
        <translation>這筆資料在讀取後已經被其他使用者修改或刪除，所以沒有刪除。</translation>
    </message>
    <message>
        <source>The values of the bound controls could not be collected.</source>
        <translation>無法取得連結控制項的值。</translation>
    </message>
    <message>
        <source>The record was posted or cancelled while its post was being prepared.</source>
        <translation>準備儲存時這筆資料已經被儲存或取消。</translation>
    </message>
    <message>
        <source>The record was changed or deleted by another user since it was read, so the edit was not posted (that would overwrite the other user&apos;s change). Cancel the edit to see the record as it is now.</source>
        <translation>這筆資料在讀取後已經被其他使用者修改或刪除，所以修改沒有儲存（否則會蓋掉其他使用者的變更）。請取消修改，以查看這筆資料目前的內容。</translation>
    </message>
    <message>
        <source>The trigger %1 failed, so the %2 was not done.</source>
        <translation>觸發程序 %1 發生錯誤，所以沒有%2。</translation>
    </message>
    <message>
        <source>The trigger %1 stopped the %2.</source>
        <translation>觸發程序 %1 停止了%2。</translation>
    </message>
    <message>
        <source>The %1 was done, but the trigger %2 that runs after it failed.</source>
        <translation>%1已經完成，但之後執行的觸發程序 %2 發生錯誤。</translation>
    </message>
</context>
<context>
    <name>TWinControl</name>
    <message>
        <source>List index out of bounds (%1)</source>
        <translation>清單索引超出範圍（%1）</translation>
    </message>
    <message>
        <source>Cannot focus a disabled or invisible window</source>
        <translation>無法將焦點移到停用或隱藏的視窗</translation>
    </message>
</context>
<context>
    <name>TZopFileDBEdit</name>
    <message>
        <source>Edits the field %1</source>
        <translation>編輯欄位 %1</translation>
    </message>
</context>
<context>
    <name>TZopFileDBNavigator</name>
    <message>
        <source>Record navigator</source>
        <translation>資料瀏覽列</translation>
    </message>
    <message>
        <source>First</source>
        <translation>First</translation>
    </message>
    <message>
        <source>First record</source>
        <translation>第一筆資料</translation>
    </message>
    <message>
        <source>Prior</source>
        <translation>Prior</translation>
    </message>
    <message>
        <source>Prior record</source>
        <translation>上一筆資料</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>Next record</source>
        <translation>下一筆資料</translation>
    </message>
    <message>
        <source>Last</source>
        <translation>Last</translation>
    </message>
    <message>
        <source>Last record</source>
        <translation>最後一筆資料</translation>
    </message>
    <message>
        <source>Insert</source>
        <translation>Insert</translation>
    </message>
    <message>
        <source>Insert a record</source>
        <translation>新增一筆資料</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>Edit the record</source>
        <translation>修改這筆資料</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>Delete the record</source>
        <translation>刪除這筆資料</translation>
    </message>
    <message>
        <source>Query</source>
        <translation>Query</translation>
    </message>
    <message>
        <source>Post</source>
        <translation>Post</translation>
    </message>
    <message>
        <source>Post the record</source>
        <translation>儲存這筆資料</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Cancel the changes</source>
        <translation>取消變更</translation>
    </message>
    <message>
        <source>確定要刪除資料??</source>
        <translation>確定要刪除資料??</translation>
    </message>
</context>
<context>
    <name>TZopFileDataSet</name>
    <message>
        <source>The dataset %1 cannot be opened: %2</source>
        <translation>資料集 %1 無法開啟：%2</translation>
    </message>
    <message>
        <source>%1: the dataset %2 has no server object</source>
        <translation>%1：資料集 %2 沒有伺服器物件</translation>
    </message>
    <message>
        <source>%1: the dataset %2 is not open (set Active to true)</source>
        <translation>%1：資料集 %2 沒有開啟（請將 Active 設為 true）</translation>
    </message>
    <message>
        <source>Refresh: the record being inserted must be posted or cancelled first</source>
        <translation>Refresh：請先存入或取消正在新增的資料</translation>
    </message>
    <message>
        <source>Refresh: the record being edited must be posted or cancelled first</source>
        <translation>Refresh：請先存入或取消正在修改的資料</translation>
    </message>
    <message>
        <source>FieldByName: no field name is given</source>
        <translation>FieldByName：沒有指定欄位名稱</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1：%2</translation>
    </message>
</context>
<context>
    <name>TZopFileDataSource</name>
    <message>
        <source>%1 cannot show the field &apos;%2&apos;: %3</source>
        <translation>%1 無法顯示欄位 &apos;%2&apos;：%3</translation>
    </message>
</context>
<context>
    <name>TZopFileDbControlFieldName</name>
    <message>
        <source>是否要產生標題(TLabel)??</source>
        <translation>是否要產生標題(TLabel)??</translation>
    </message>
    <message>
        <source>標題內容(TLabel.Caption)</source>
        <translation>標題內容(TLabel.Caption)</translation>
    </message>
    <message>
        <source>輸入標題內容</source>
        <translation>輸入標題內容</translation>
    </message>
</context>
<context>
    <name>TZopFileField</name>
    <message>
        <source>Field %1: %2</source>
        <translation>欄位 %1：%2</translation>
    </message>
    <message>
        <source>the dataset %1 is not open</source>
        <translation>資料集 %1 沒有開啟</translation>
    </message>
    <message>
        <source>the record being inserted is read once it is posted</source>
        <translation>正在新增的資料要存入後才能讀取</translation>
    </message>
    <message>
        <source>it has no value to read as %1</source>
        <translation>沒有值可以讀取為%1</translation>
    </message>
    <message>
        <source>a whole number</source>
        <translation>整數</translation>
    </message>
    <message>
        <source>the value &quot;%1&quot; is not a whole number</source>
        <translation>值「%1」不是整數</translation>
    </message>
    <message>
        <source>a number</source>
        <translation>數字</translation>
    </message>
    <message>
        <source>the value &quot;%1&quot; is not a number</source>
        <translation>值「%1」不是數字</translation>
    </message>
    <message>
        <source>a number is finite, %1 is not</source>
        <translation>數字必須是有限值，%1 不是</translation>
    </message>
    <message>
        <source>%1 is not a whole number</source>
        <translation>%1 不是整數</translation>
    </message>
    <message>
        <source>True or False</source>
        <translation>True 或 False</translation>
    </message>
    <message>
        <source>the value &quot;%1&quot; is not True or False</source>
        <translation>值「%1」不是 True 或 False</translation>
    </message>
    <message>
        <source>a date</source>
        <translation>日期</translation>
    </message>
    <message>
        <source>the value &quot;%1&quot; is not a date written YYYY-MM-DD</source>
        <translation>值「%1」不是以 YYYY-MM-DD 寫成的日期</translation>
    </message>
    <message>
        <source>the date is outside the years 0001 to 9999</source>
        <translation>日期不在 0001 年到 9999 年之間</translation>
    </message>
</context>
<context>
    <name>TextUtils</name>
    <message>
        <source>&apos;%1&apos; is not a valid integer value</source>
        <translation>「%1」不是有效的整數值</translation>
    </message>
</context>
<context>
    <name>Translations</name>
    <message>
        <source>The language %1 cannot be chosen before the application object exists.</source>
        <translation>應用程式物件建立之前無法選擇語言 %1。</translation>
    </message>
</context>
<context>
    <name>TypeInfo</name>
    <message>
        <source>Value %1 is out of range for %2-bit integers</source>
        <translation>值 %1 超出 %2 位元整數的範圍</translation>
    </message>
    <message>
        <source>Property %1 does not exist in %2</source>
        <translation>%2 沒有屬性 %1</translation>
    </message>
    <message>
        <source>Property %1 of %2 is read-only</source>
        <translation>%2 的屬性 %1 是唯讀的</translation>
    </message>
</context>
<context>
    <name>ValueText</name>
    <message>
        <source>which is not a number</source>
        <translation>這不是數字</translation>
    </message>
    <message>
        <source>which has more than the %1 digits before the point or %2 after it that a number may have</source>
        <translation>它的小數點前超過數字可有的 %1 位，或小數點後超過 %2 位</translation>
    </message>
</context>
<context>
    <name>ZopFileDBDemo</name>
    <message>
        <source>There is no translation for the language %1.</source>
        <translation>沒有語言 %1 的翻譯。</translation>
    </message>
</context>
</TS>
