<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>ClassRegistry</name>
    <message>
        <source>Class %1 not found</source>
        <translation>Class %1 not found</translation>
    </message>
</context>
<context>
    <name>CoFileDataSet</name>
    <message>
        <source>Cannot create the record-storage server on machine %1: servers run only on this machine.</source>
        <translation>Cannot create the record-storage server on machine %1: servers run only on this machine.</translation>
    </message>
    <message>
        <source>%1: the record-storage server is not registered in this program. Call RegisterFileDataSetServer() (server/RegisterFileDataSetServer.h, component recordserver) once at start, before the first dataset is created.</source>
        <translation>%1: the record-storage server is not registered in this program. Call RegisterFileDataSetServer() (server/RegisterFileDataSetServer.h, component recordserver) once at start, before the first dataset is created.</translation>
    </message>
</context>
<context>
    <name>Colors</name>
    <message>
        <source>&apos;%1&apos; is not a valid colour</source>
        <translation>&apos;%1&apos; is not a valid colour</translation>
    </message>
</context>
<context>
    <name>ComObj</name>
    <message>
        <source>The class factory of %1 made no object</source>
        <translation>The class factory of %1 made no object</translation>
    </message>
</context>
<context>
    <name>CommitBell</name>
    <message>
        <source>Other sessions&apos; commits cannot be watched: no event counter (%1).</source>
        <translation>Other sessions&apos; commits cannot be watched: no event counter (%1).</translation>
    </message>
</context>
<context>
    <name>ControlBridge</name>
    <message>
        <source>Unhandled exception: %1</source>
        <translation>Unhandled exception: %1</translation>
    </message>
    <message>
        <source>Unhandled exception</source>
        <translation>Unhandled exception</translation>
    </message>
</context>
<context>
    <name>DataPath</name>
    <message>
        <source>a folder</source>
        <translation>a folder</translation>
    </message>
    <message>
        <source>a FIFO (named pipe)</source>
        <translation>a FIFO (named pipe)</translation>
    </message>
    <message>
        <source>a device</source>
        <translation>a device</translation>
    </message>
    <message>
        <source>a socket</source>
        <translation>a socket</translation>
    </message>
    <message>
        <source>a special file</source>
        <translation>a special file</translation>
    </message>
</context>
<context>
    <name>DateTime</name>
    <message>
        <source>Invalid argument to date encode</source>
        <translation>Invalid date: the year, month or day is out of range</translation>
    </message>
    <message>
        <source>Invalid argument to time encode</source>
        <translation>Invalid time: the hour, minute, second or millisecond is out of range</translation>
    </message>
</context>
<context>
    <name>DbMethods</name>
    <message>
        <source>%1 needs an item class derived from %2</source>
        <translation>%1 needs an item class derived from %2</translation>
    </message>
    <message>
        <source>SetUpItem needs an item to copy from</source>
        <translation>SetUpItem needs an item to copy from</translation>
    </message>
</context>
<context>
    <name>Dialogs</name>
    <message>
        <source>&amp;Yes</source>
        <translation>&amp;Yes</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>&amp;No</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>&amp;Abort</source>
        <translation>&amp;Abort</translation>
    </message>
    <message>
        <source>&amp;Retry</source>
        <translation>&amp;Retry</translation>
    </message>
    <message>
        <source>&amp;Ignore</source>
        <translation>&amp;Ignore</translation>
    </message>
    <message>
        <source>&amp;All</source>
        <translation>&amp;All</translation>
    </message>
    <message>
        <source>N&amp;o to All</source>
        <translation>N&amp;o to All</translation>
    </message>
    <message>
        <source>Yes to &amp;All</source>
        <translation>Yes to &amp;All</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>Confirm</translation>
    </message>
</context>
<context>
    <name>FieldTypes</name>
    <message>
        <source>is not a date (dates are written YYYY-MM-DD, such as 2024-03-31)</source>
        <translation>is not a date (dates are written YYYY-MM-DD, such as 2024-03-31)</translation>
    </message>
    <message>
        <source>is not a boolean (True or False, or 1 or 0)</source>
        <translation>is not a boolean (True or False, or 1 or 0)</translation>
    </message>
    <message>
        <source>is not a whole number</source>
        <translation>is not a whole number</translation>
    </message>
    <message>
        <source>has more than the %1 decimals the field keeps</source>
        <translation>has more than the %1 decimals the field keeps</translation>
    </message>
    <message>
        <source>has %1 characters when written with its %2 decimals, more than the %3 the field holds</source>
        <translation>has %1 characters when written with its %2 decimals, more than the %3 the field holds</translation>
    </message>
    <message>
        <source>has %1 characters when written, more than the %2 the field holds</source>
        <translation>has %1 characters when written, more than the %2 the field holds</translation>
    </message>
</context>
<context>
    <name>FileCommitWake</name>
    <message>
        <source>Commits to %1 cannot be watched: the system gives neither a file watch nor a timer (%2).</source>
        <translation>Commits to %1 cannot be watched: the system gives neither a file watch nor a timer (%2).</translation>
    </message>
</context>
<context>
    <name>FileDataSetServer</name>
    <message>
        <source>Invalid argument: %1</source>
        <translation>Invalid argument: %1</translation>
    </message>
    <message>
        <source>The record server ran out of memory.</source>
        <translation>The record server ran out of memory.</translation>
    </message>
    <message>
        <source>The record server failed.</source>
        <translation>The record server failed.</translation>
    </message>
    <message>
        <source>No variable was given for the result.</source>
        <translation>No variable was given for the result.</translation>
    </message>
    <message>
        <source>No variable was given for the descriptor.</source>
        <translation>No variable was given for the descriptor.</translation>
    </message>
    <message>
        <source>No variable was given for the answer or the record numbers.</source>
        <translation>No variable was given for the answer or the record numbers.</translation>
    </message>
</context>
<context>
    <name>FilterCommand</name>
    <message>
        <source>The filter line %1 is refused: %2.</source>
        <translation>The filter line %1 is refused: %2.</translation>
    </message>
    <message>
        <source>the item %1 is not followed by a comma (every item, the last included, ends with one)</source>
        <translation>the item %1 is not followed by a comma (every item, the last included, ends with one)</translation>
    </message>
    <message>
        <source>it has %1 comma-terminated items where six are needed (a value cannot hold a comma)</source>
        <translation>it has %1 comma-terminated items where six are needed (a value cannot hold a comma)</translation>
    </message>
    <message>
        <source>the field name is missing</source>
        <translation>the field name is missing</translation>
    </message>
    <message>
        <source>the table %1 has no field %2</source>
        <translation>the table %1 has no field %2</translation>
    </message>
    <message>
        <source>the start position %1 is not a whole number from 0</source>
        <translation>the start position %1 is not a whole number from 0</translation>
    </message>
    <message>
        <source>the end position %1 is not a whole number from 0</source>
        <translation>the end position %1 is not a whole number from 0</translation>
    </message>
    <message>
        <source>the end position %1 comes before the start position %2</source>
        <translation>the end position %1 comes before the start position %2</translation>
    </message>
    <message>
        <source>the comparison %1 is not one of = &lt;&gt; &lt; &lt;= &gt; &gt;=</source>
        <translation>the comparison %1 is not one of = &lt;&gt; &lt; &lt;= &gt; &gt;=</translation>
    </message>
</context>
<context>
    <name>FormFileAccess</name>
    <message>
        <source>a folder</source>
        <translation>a folder</translation>
    </message>
    <message>
        <source>a FIFO (named pipe)</source>
        <translation>a FIFO (named pipe)</translation>
    </message>
    <message>
        <source>a device</source>
        <translation>a device</translation>
    </message>
    <message>
        <source>a socket</source>
        <translation>a socket</translation>
    </message>
    <message>
        <source>a special file</source>
        <translation>a special file</translation>
    </message>
    <message>
        <source>Cannot open the form file %1: %2.</source>
        <translation>Cannot open the form file %1: %2.</translation>
    </message>
    <message>
        <source>Cannot write the form file %1: %2.</source>
        <translation>Cannot write the form file %1: %2.</translation>
    </message>
    <message>
        <source>The form file %1 is %2, not a regular file.</source>
        <translation>The form file %1 is %2, not a regular file.</translation>
    </message>
    <message>
        <source>The form file %1 is larger than the %2 MiB a form file may have.</source>
        <translation>The form file %1 is larger than the %2 MiB a form file may have.</translation>
    </message>
    <message>
        <source>Cannot read the form file %1: %2.</source>
        <translation>Cannot read the form file %1: %2.</translation>
    </message>
    <message>
        <source>Cannot write the form file %1: it is %2, not a regular file.</source>
        <translation>Cannot write the form file %1: it is %2, not a regular file.</translation>
    </message>
    <message>
        <source>Cannot write the form file %1: it is a link to nothing.</source>
        <translation>Cannot write the form file %1: it is a link to nothing.</translation>
    </message>
</context>
<context>
    <name>FormParser</name>
    <message>
        <source>character #%1</source>
        <translation>character #%1</translation>
    </message>
    <message>
        <source>unexpected %1</source>
        <translation>unexpected %1</translation>
    </message>
    <message>
        <source>invalid number %1</source>
        <translation>invalid number %1</translation>
    </message>
    <message>
        <source>unterminated string</source>
        <translation>unterminated string</translation>
    </message>
    <message>
        <source>character code out of range</source>
        <translation>character code out of range</translation>
    </message>
    <message>
        <source>invalid character code: &apos;#&apos; must be followed by a number</source>
        <translation>invalid character code: &apos;#&apos; must be followed by a number</translation>
    </message>
    <message>
        <source>unterminated binary data (missing &apos;}&apos;)</source>
        <translation>unterminated binary data (missing &apos;}&apos;)</translation>
    </message>
    <message>
        <source>invalid %1 in binary data</source>
        <translation>invalid %1 in binary data</translation>
    </message>
    <message>
        <source>binary data has an odd number of hex digits</source>
        <translation>binary data has an odd number of hex digits</translation>
    </message>
    <message>
        <source>number %1</source>
        <translation>number %1</translation>
    </message>
    <message>
        <source>a string</source>
        <translation>a string</translation>
    </message>
    <message>
        <source>binary data</source>
        <translation>binary data</translation>
    </message>
    <message>
        <source>the end of the file</source>
        <translation>the end of the file</translation>
    </message>
    <message>
        <source>unexpected %1 after the end of the top object</source>
        <translation>unexpected %1 after the end of the top object</translation>
    </message>
    <message>
        <source>expected &apos;object&apos; but found %1</source>
        <translation>expected &apos;object&apos; but found %1</translation>
    </message>
    <message>
        <source>a component name or class name</source>
        <translation>a component name or class name</translation>
    </message>
    <message>
        <source>a class name</source>
        <translation>a class name</translation>
    </message>
    <message>
        <source>form nested too deeply</source>
        <translation>the form&apos;s objects are nested too deeply</translation>
    </message>
    <message>
        <source>expected %1 but found %2</source>
        <translation>expected %1 but found %2</translation>
    </message>
    <message>
        <source>expected &apos;%1&apos; but found %2</source>
        <translation>expected &apos;%1&apos; but found %2</translation>
    </message>
    <message>
        <source>object %1 is not terminated (missing &apos;end&apos;)</source>
        <translation>object %1 is not terminated (missing &apos;end&apos;)</translation>
    </message>
    <message>
        <source>expected a property, &apos;object&apos; or &apos;end&apos; but found %1</source>
        <translation>expected a property, &apos;object&apos; or &apos;end&apos; but found %1</translation>
    </message>
    <message>
        <source>property %1 follows a nested object; properties come first</source>
        <translation>property %1 follows a nested object; properties come first</translation>
    </message>
    <message>
        <source>a property name</source>
        <translation>a property name</translation>
    </message>
    <message>
        <source>expected a value but found %1</source>
        <translation>expected a value but found %1</translation>
    </message>
    <message>
        <source>expected a string after &apos;+&apos; but found %1</source>
        <translation>expected a string after &apos;+&apos; but found %1</translation>
    </message>
    <message>
        <source>a set element</source>
        <translation>a set element</translation>
    </message>
    <message>
        <source>expected &apos;,&apos; or &apos;]&apos; but found %1</source>
        <translation>expected &apos;,&apos; or &apos;]&apos; but found %1</translation>
    </message>
    <message>
        <source>unterminated list (missing &apos;)&apos;)</source>
        <translation>unterminated list (missing &apos;)&apos;)</translation>
    </message>
    <message>
        <source>expected a list element or &apos;)&apos; but found %1</source>
        <translation>expected a list element or &apos;)&apos; but found %1</translation>
    </message>
    <message>
        <source>unterminated collection (missing &apos;&gt;&apos;)</source>
        <translation>unterminated collection (missing &apos;&gt;&apos;)</translation>
    </message>
    <message>
        <source>expected &apos;item&apos; or &apos;&gt;&apos; but found %1</source>
        <translation>expected &apos;item&apos; or &apos;&gt;&apos; but found %1</translation>
    </message>
    <message>
        <source>collection item is not terminated (missing &apos;end&apos;)</source>
        <translation>collection item is not terminated (missing &apos;end&apos;)</translation>
    </message>
    <message>
        <source>expected a property or &apos;end&apos; but found %1</source>
        <translation>expected a property or &apos;end&apos; but found %1</translation>
    </message>
    <message>
        <source>(form text)</source>
        <translation>(form text)</translation>
    </message>
    <message>
        <source>%1, line %2: %3</source>
        <translation>%1, line %2: %3</translation>
    </message>
    <message>
        <source>an integer</source>
        <translation>an integer</translation>
    </message>
    <message>
        <source>an identifier</source>
        <translation>an identifier</translation>
    </message>
    <message>
        <source>a set</source>
        <translation>a set</translation>
    </message>
    <message>
        <source>a list</source>
        <translation>a list</translation>
    </message>
    <message>
        <source>a collection</source>
        <translation>a collection</translation>
    </message>
    <message>
        <source>a value</source>
        <translation>a value</translation>
    </message>
</context>
<context>
    <name>FormReader</name>
    <message>
        <source>the integer %1</source>
        <translation>the integer %1</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>the form describes a %1, but it is loaded into a %2</source>
        <translation>the form describes a %1, but it is loaded into a %2</translation>
    </message>
    <message>
        <source>Class %1 not found</source>
        <translation>Class %1 not found</translation>
    </message>
    <message>
        <source>class %1 is not a component that can be created</source>
        <translation>class %1 is not a component that can be created</translation>
    </message>
    <message>
        <source>cannot create %1</source>
        <translation>cannot create %1</translation>
    </message>
    <message>
        <source>the field %1 of %2 cannot hold a %3</source>
        <translation>the field %1 of %2 cannot hold a %3</translation>
    </message>
    <message>
        <source>cannot set the parent of %1</source>
        <translation>cannot set the parent of %1</translation>
    </message>
    <message>
        <source>property %1 does not exist in %2</source>
        <translation>property %1 does not exist in %2</translation>
    </message>
    <message>
        <source>cannot read %1</source>
        <translation>cannot read %1</translation>
    </message>
    <message>
        <source>%1 has no object to read into</source>
        <translation>%1 has no object to read into</translation>
    </message>
    <message>
        <source>%1 is not an object with properties of its own</source>
        <translation>%1 is not an object with properties of its own</translation>
    </message>
    <message>
        <source>invalid value for %1: expected %2, found %3</source>
        <translation>invalid value for %1: expected %2, found %3</translation>
    </message>
    <message>
        <source>the name of a handler</source>
        <translation>the name of a handler</translation>
    </message>
    <message>
        <source>the name of a component</source>
        <translation>the name of a component</translation>
    </message>
    <message>
        <source>error setting %1</source>
        <translation>error setting %1</translation>
    </message>
    <message>
        <source>property %1 is read-only</source>
        <translation>property %1 is read-only</translation>
    </message>
    <message>
        <source>invalid value for %1: &apos;%2&apos; is not a %3 value</source>
        <translation>invalid value for %1: &apos;%2&apos; is not a %3 value</translation>
    </message>
    <message>
        <source>an integer</source>
        <translation>an integer</translation>
    </message>
    <message>
        <source>True or False</source>
        <translation>True or False</translation>
    </message>
    <message>
        <source>a %1 identifier</source>
        <translation>a %1 identifier</translation>
    </message>
    <message>
        <source>a set</source>
        <translation>a set</translation>
    </message>
    <message>
        <source>a string</source>
        <translation>a string</translation>
    </message>
    <message>
        <source>binary data</source>
        <translation>binary data</translation>
    </message>
    <message>
        <source>property %1 cannot be read from a form file</source>
        <translation>property %1 cannot be read from a form file</translation>
    </message>
    <message>
        <source>a list of strings</source>
        <translation>a list of strings</translation>
    </message>
    <message>
        <source>a string in the list</source>
        <translation>a string in the list</translation>
    </message>
    <message>
        <source>a collection</source>
        <translation>a collection</translation>
    </message>
    <message>
        <source>invalid value for %1: it is an object, set its properties (%1.Name = value)</source>
        <translation>invalid value for %1: it is an object, set its properties (%1.Name = value)</translation>
    </message>
    <message>
        <source>cannot clear %1</source>
        <translation>cannot clear %1</translation>
    </message>
    <message>
        <source>cannot add an item to %1</source>
        <translation>cannot add an item to %1</translation>
    </message>
    <message>
        <source>error updating %1</source>
        <translation>error updating %1</translation>
    </message>
    <message>
        <source>%1 refers to a component named %2 that does not exist</source>
        <translation>%1 refers to a component named %2 that does not exist</translation>
    </message>
    <message>
        <source>%1 cannot refer to %2: it is a %3, not a %4</source>
        <translation>%1 cannot refer to %2: it is a %3, not a %4</translation>
    </message>
    <message>
        <source>%1 names the handler %2, which %3 does not publish</source>
        <translation>%1 names the handler %2, which %3 does not publish</translation>
    </message>
    <message>
        <source>the handler %1 of %2 has the wrong type for %3</source>
        <translation>the handler %1 of %2 has the wrong type for %3</translation>
    </message>
    <message>
        <source>cannot bind %1</source>
        <translation>cannot bind %1</translation>
    </message>
    <message>
        <source>error finishing %1</source>
        <translation>error finishing %1</translation>
    </message>
    <message>
        <source>Cannot open file %1</source>
        <translation>Cannot open file %1</translation>
    </message>
</context>
<context>
    <name>FormTool</name>
    <message>
        <source>[y/N]:</source>
        <translation>[y/N]:</translation>
    </message>
    <message>
        <source>The form has no component named %1</source>
        <translation>The form has no component named %1</translation>
    </message>
    <message>
        <source>%1 has no DataField property</source>
        <translation>%1 has no DataField property</translation>
    </message>
    <message>
        <source>Wrote %1</source>
        <translation>Wrote %1</translation>
    </message>
    <message>
        <source>usage: zopfiledb-form palette
       zopfiledb-form fields FORM COMPONENT
       zopfiledb-form set-field FORM COMPONENT FIELD [--label yes|no] [--caption TEXT] [--output FILE]
       zopfiledb-form render FORM PNG
       zopfiledb-form texts FORM
</source>
        <translation>usage: zopfiledb-form palette
       zopfiledb-form fields FORM COMPONENT
       zopfiledb-form set-field FORM COMPONENT FIELD [--label yes|no] [--caption TEXT] [--output FILE]
       zopfiledb-form render FORM PNG
       zopfiledb-form texts FORM
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
        <translation>Design-time support on form files: the palette, the DataField property editor, and
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
</translation>
    </message>
    <message>
        <source>The item in %1 must be a number from 0 in brackets: %2</source>
        <translation>The item in %1 must be a number from 0 in brackets: %2</translation>
    </message>
    <message>
        <source>%1 has no property %2 holding an object</source>
        <translation>%1 has no property %2 holding an object</translation>
    </message>
    <message>
        <source>%1 is not a collection</source>
        <translation>%1 is not a collection</translation>
    </message>
    <message>
        <source>%1 has no item %2 (it has %3, counted from 0)</source>
        <translation>%1 has no item %2 (it has %3, counted from 0)</translation>
    </message>
    <message>
        <source>%1 has no properties to edit</source>
        <translation>%1 has no properties to edit</translation>
    </message>
    <message>
        <source>The form %1 is laid out so that the change cannot be made on lines of its own, and its class is not known here to write it whole</source>
        <translation>The form %1 is laid out so that the change cannot be made on lines of its own, and its class is not known here to write it whole</translation>
    </message>
    <message>
        <source>The form&apos;s top object is a %1, not a form</source>
        <translation>The form&apos;s top object is a %1, not a form</translation>
    </message>
    <message>
        <source>The picture of the form could not be made</source>
        <translation>The picture of the form could not be made</translation>
    </message>
    <message>
        <source>set-field: add a caption label (yes) or not (no), without asking</source>
        <translation>set-field: add a caption label (yes) or not (no), without asking</translation>
    </message>
    <message>
        <source>set-field: the caption label&apos;s text, without asking</source>
        <translation>set-field: the caption label&apos;s text, without asking</translation>
    </message>
    <message>
        <source>set-field: write the form to FILE instead</source>
        <translation>set-field: write the form to FILE instead</translation>
    </message>
    <message>
        <source>no command given</source>
        <translation>no command given</translation>
    </message>
    <message>
        <source>no arguments</source>
        <translation>no arguments</translation>
    </message>
    <message>
        <source>unknown command &apos;%1&apos;</source>
        <translation>unknown command &apos;%1&apos;</translation>
    </message>
    <message>
        <source>%1 takes %2</source>
        <translation>%1 takes %2</translation>
    </message>
    <message>
        <source>--%1 is an option of set-field only</source>
        <translation>--%1 is an option of set-field only</translation>
    </message>
    <message>
        <source>--label takes yes or no, not &apos;%1&apos;</source>
        <translation>--label takes yes or no, not &apos;%1&apos;</translation>
    </message>
    <message>
        <source>Try &apos;zopfiledb-form --help&apos; for more.</source>
        <translation>Try &apos;zopfiledb-form --help&apos; for more.</translation>
    </message>
</context>
<context>
    <name>FormWriter</name>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>Cannot write %1: %2</translation>
    </message>
    <message>
        <source>it is listed twice among the form&apos;s children</source>
        <translation>it is listed twice among the form&apos;s children</translation>
    </message>
    <message>
        <source>%1 is not a %2 value</source>
        <translation>%1 is not a %2 value</translation>
    </message>
    <message>
        <source>the property&apos;s type cannot be written</source>
        <translation>the property&apos;s type cannot be written</translation>
    </message>
    <message>
        <source>the set holds an element outside %1</source>
        <translation>the set holds an element outside %1</translation>
    </message>
    <message>
        <source>it refers to a component that is not a named component of %1</source>
        <translation>it refers to a component that is not a named component of %1</translation>
    </message>
    <message>
        <source>its handler is not one that %1 publishes</source>
        <translation>its handler is not one that %1 publishes</translation>
    </message>
    <message>
        <source>Cannot create file %1</source>
        <translation>Cannot create file %1</translation>
    </message>
    <message>
        <source>Cannot write file %1</source>
        <translation>Cannot write file %1</translation>
    </message>
    <message>
        <source>Cannot create file %1: %2</source>
        <translation>Cannot create file %1: %2</translation>
    </message>
</context>
<context>
    <name>Guid</name>
    <message>
        <source>&apos;%1&apos; is not a valid GUID value</source>
        <translation>&apos;%1&apos; is not a valid GUID value</translation>
    </message>
</context>
<context>
    <name>OleVariant</name>
    <message>
        <source>Variant overflow</source>
        <translation>The number is too large for a variant (overflow)</translation>
    </message>
    <message>
        <source>Could not convert variant of type (%1) into type (%2)</source>
        <translation>Could not convert variant of type (%1) into type (%2)</translation>
    </message>
</context>
<context>
    <name>PgConnection</name>
    <message>
        <source>the connection is closed</source>
        <translation>the connection is closed</translation>
    </message>
    <message>
        <source>no reason given</source>
        <translation>no reason given</translation>
    </message>
    <message>
        <source>%1 milliseconds</source>
        <translation>%1 milliseconds</translation>
    </message>
    <message>
        <source>1 second</source>
        <translation>1 second</translation>
    </message>
    <message>
        <source>%1 seconds</source>
        <translation>%1 seconds</translation>
    </message>
    <message>
        <source>a statement</source>
        <translation>a statement</translation>
    </message>
    <message>
        <source>the preparation of a statement</source>
        <translation>the preparation of a statement</translation>
    </message>
    <message>
        <source>a write</source>
        <translation>a write</translation>
    </message>
    <message>
        <source>a read of what the server sent</source>
        <translation>a read of what the server sent</translation>
    </message>
    <message>
        <source>; the write may or may not have been stored (look before writing it again)</source>
        <translation>; the write may or may not have been stored (look before writing it again)</translation>
    </message>
    <message>
        <source>Cannot connect to the PostgreSQL server %1: %2.</source>
        <translation>Cannot connect to the PostgreSQL server %1: %2.</translation>
    </message>
    <message>
        <source>The connection to the PostgreSQL server %1 was lost during %2 (%3)%4; the next operation connects again.</source>
        <translation>The connection to the PostgreSQL server %1 was lost during %2 (%3)%4; the next operation connects again.</translation>
    </message>
    <message>
        <source>The PostgreSQL server %1 refused %2: %3.</source>
        <translation>The PostgreSQL server %1 refused %2: %3.</translation>
    </message>
    <message>
        <source>The PostgreSQL server %1 did not answer %2 within %3, its statement limit, so the connection was closed%4; the next operation connects again.</source>
        <translation>The PostgreSQL server %1 did not answer %2 within %3, its statement limit, so the connection was closed%4; the next operation connects again.</translation>
    </message>
    <message>
        <source>The PostgreSQL server %1 cannot take %2: a value holds a NUL character, which PostgreSQL&apos;s text cannot hold.</source>
        <translation>The PostgreSQL server %1 cannot take %2: a value holds a NUL character, which PostgreSQL&apos;s text cannot hold.</translation>
    </message>
    <message>
        <source>a value holds a NUL character</source>
        <translation>a value holds a NUL character</translation>
    </message>
</context>
<context>
    <name>PgSettings</name>
    <message>
        <source>out of memory</source>
        <translation>out of memory</translation>
    </message>
    <message>
        <source>The PostgreSQL connection URI %1 cannot be read: %2.</source>
        <translation>The PostgreSQL connection URI %1 cannot be read: %2.</translation>
    </message>
</context>
<context>
    <name>PgSocketWake</name>
    <message>
        <source>Commits to the table cannot be watched: the system gives no event set (%1).</source>
        <translation>Commits to the table cannot be watched: the system gives no event set (%1).</translation>
    </message>
</context>
<context>
    <name>PostgresRecordStore</name>
    <message>
        <source>%1 may not be written by this user: %2.</source>
        <translation>%1 may not be written by this user: %2.</translation>
    </message>
    <message>
        <source>Field %1: the value %2 holds a NUL character, which a PostgreSQL table cannot store.</source>
        <translation>Field %1: the value %2 holds a NUL character, which a PostgreSQL table cannot store.</translation>
    </message>
    <message>
        <source>The table name %1 is longer than the %2 bytes that PostgreSQL keeps of a name (schema file %3).</source>
        <translation>The table name %1 is longer than the %2 bytes that PostgreSQL keeps of a name (schema file %3).</translation>
    </message>
    <message>
        <source>The field name %1 is longer than the %2 bytes that PostgreSQL keeps of a name (schema file %3).</source>
        <translation>The field name %1 is longer than the %2 bytes that PostgreSQL keeps of a name (schema file %3).</translation>
    </message>
    <message>
        <source>The table %1 in the PostgreSQL database %2</source>
        <translation>The table %1 in the PostgreSQL database %2</translation>
    </message>
    <message>
        <source>%1 cannot be opened: the names that the server gives its change log, key index and triggers are taken by the table %2, whose name shortens to the same %3; rename one of the two tables.</source>
        <translation>%1 cannot be opened: the names that the server gives its change log, key index and triggers are taken by the table %2, whose name shortens to the same %3; rename one of the two tables.</translation>
    </message>
    <message>
        <source>its column zfd_id gives a new record no id (it is neither an identity column nor has a default)</source>
        <translation>its column zfd_id gives a new record no id (it is neither an identity column nor has a default)</translation>
    </message>
    <message>
        <source>its column zfd_ver gives a new record no version (it has no default)</source>
        <translation>its column zfd_ver gives a new record no version (it has no default)</translation>
    </message>
    <message>
        <source>it has no column %1</source>
        <translation>it has no column %1</translation>
    </message>
    <message>
        <source>its column %1 is %2 where %3 is needed</source>
        <translation>its column %1 is %2 where %3 is needed</translation>
    </message>
    <message>
        <source>it has a column %1 that the schema does not list</source>
        <translation>it has a column %1 that the schema does not list</translation>
    </message>
    <message>
        <source>%1 does not match the schema file %2: %3.</source>
        <translation>%1 does not match the schema file %2: %3.</translation>
    </message>
    <message>
        <source>%1 has another key than the schema file %2 gives it.</source>
        <translation>%1 has another key than the schema file %2 gives it.</translation>
    </message>
    <message>
        <source>%1 holds records with the same key, so its key fields cannot be enforced.</source>
        <translation>%1 holds records with the same key, so its key fields cannot be enforced.</translation>
    </message>
    <message>
        <source>%1 holds a record whose key field %2 holds %3, %4, so the key cannot be indexed.</source>
        <translation>%1 holds a record whose key field %2 holds %3, %4, so the key cannot be indexed.</translation>
    </message>
    <message>
        <source>%1 has a change log made by an earlier version of the server, which this user may not bring up to date; open the table once as a user who may (its owner).</source>
        <translation>%1 has a change log made by an earlier version of the server, which this user may not bring up to date; open the table once as a user who may (its owner).</translation>
    </message>
    <message>
        <source>%1 has no key-order summary that is up to date, which this user may not make; open the table once as a user who may (its owner).</source>
        <translation>%1 has no key-order summary that is up to date, which this user may not make; open the table once as a user who may (its owner).</translation>
    </message>
</context>
<context>
    <name>RecordChecks</name>
    <message>
        <source>The key field %1 is empty (value %2): every record needs a value in its key fields.</source>
        <translation>The key field %1 is empty (value %2): every record needs a value in its key fields.</translation>
    </message>
    <message>
        <source>Field %1: the value %2 is refused: a number&apos;s exponent may have at most %3 digits.</source>
        <translation>Field %1: the value %2 is refused: a number&apos;s exponent may have at most %3 digits.</translation>
    </message>
    <message>
        <source>Field %1: the value %2 is not a number.</source>
        <translation>Field %1: the value %2 is not a number.</translation>
    </message>
    <message>
        <source>Field %1: the value %2 is refused: a number may have at most %3 digits before the point and %4 after it.</source>
        <translation>Field %1: the value %2 is refused: a number may have at most %3 digits before the point and %4 after it.</translation>
    </message>
    <message>
        <source>Field %1: the value %2 has %3 characters, more than the %4 the field holds.</source>
        <translation>Field %1: the value %2 has %3 characters, more than the %4 the field holds.</translation>
    </message>
    <message>
        <source>Key %1: the value %2 is already the key of another record.</source>
        <translation>Key %1: the value %2 is already the key of another record.</translation>
    </message>
    <message>
        <source>Field %1: the value %2 %3.</source>
        <translation>Field %1: the value %2 %3.</translation>
    </message>
</context>
<context>
    <name>RecordStore</name>
    <message>
        <source>The filter names the field %1, which the table %2 does not have.</source>
        <translation>The filter names the field %1, which the table %2 does not have.</translation>
    </message>
</context>
<context>
    <name>RecordStoreFactory</name>
    <message>
        <source>Cannot open the access file %1: it is %2, not a database file.</source>
        <translation>Cannot open the access file %1: it is %2, not a database file.</translation>
    </message>
</context>
<context>
    <name>Schema</name>
    <message>
        <source>a name is missing</source>
        <translation>a name is missing</translation>
    </message>
    <message>
        <source>the name %1 is longer than 64 bytes</source>
        <translation>the name %1 is longer than 64 bytes</translation>
    </message>
    <message>
        <source>the name %1 starts with a digit</source>
        <translation>the name %1 starts with a digit</translation>
    </message>
    <message>
        <source>the name %1 may hold only letters, digits and &apos;_&apos; (found %2)</source>
        <translation>the name %1 may hold only letters, digits and &apos;_&apos; (found %2)</translation>
    </message>
    <message>
        <source>the name %1 is reserved (names may not start with zfd_ or sqlite_)</source>
        <translation>the name %1 is reserved (names may not start with zfd_ or sqlite_)</translation>
    </message>
    <message>
        <source>the user name %1 holds the control character %2</source>
        <translation>the user name %1 holds the control character %2</translation>
    </message>
    <message>
        <source>the line is not UTF-8 text (save the schema file in UTF-8)</source>
        <translation>the line is not UTF-8 text (save the schema file in UTF-8)</translation>
    </message>
    <message>
        <source>no table name is given (a [Table] section with Name = ...)</source>
        <translation>no table name is given (a [Table] section with Name = ...)</translation>
    </message>
    <message>
        <source>no fields are given (a [Fields] section)</source>
        <translation>no fields are given (a [Fields] section)</translation>
    </message>
    <message>
        <source>the [Users] section lists no users</source>
        <translation>the [Users] section lists no users</translation>
    </message>
    <message>
        <source>Schema file %1, line %2: %3.</source>
        <translation>Schema file %1, line %2: %3.</translation>
    </message>
    <message>
        <source>Schema file %1: %2.</source>
        <translation>Schema file %1: %2.</translation>
    </message>
    <message>
        <source>a line outside any section (start with [Table], [Fields] or [Users])</source>
        <translation>a line outside any section (start with [Table], [Fields] or [Users])</translation>
    </message>
    <message>
        <source>a section header must end with &apos;]&apos;</source>
        <translation>a section header must end with &apos;]&apos;</translation>
    </message>
    <message>
        <source>unknown section [%1] (expected [Table], [Fields] or [Users])</source>
        <translation>unknown section [%1] (expected [Table], [Fields] or [Users])</translation>
    </message>
    <message>
        <source>the section [%1] appears twice</source>
        <translation>the section [%1] appears twice</translation>
    </message>
    <message>
        <source>expected %1</source>
        <translation>expected %1</translation>
    </message>
    <message>
        <source>Name = &lt;table name&gt;</source>
        <translation>Name = &lt;table name&gt;</translation>
    </message>
    <message>
        <source>unknown setting %1 in [Table] (expected Name)</source>
        <translation>unknown setting %1 in [Table] (expected Name)</translation>
    </message>
    <message>
        <source>the table name is given twice</source>
        <translation>the table name is given twice</translation>
    </message>
    <message>
        <source>table name: %1</source>
        <translation>table name: %1</translation>
    </message>
    <message>
        <source>field name: %1</source>
        <translation>field name: %1</translation>
    </message>
    <message>
        <source>the field %1 is declared twice</source>
        <translation>the field %1 is declared twice</translation>
    </message>
    <message>
        <source>the size of field %1 must be a whole number from 1 to 65535, not %2</source>
        <translation>the size of field %1 must be a whole number from 1 to 65535, not %2</translation>
    </message>
    <message>
        <source>expected Key or nothing after the size of field %1</source>
        <translation>expected Key or nothing after the size of field %1</translation>
    </message>
    <message>
        <source>&lt;user name&gt; = Read or Write</source>
        <translation>&lt;user name&gt; = Read or Write</translation>
    </message>
    <message>
        <source>a user name is missing</source>
        <translation>a user name is missing</translation>
    </message>
    <message>
        <source>the right of user %1 must be Read or Write, not %2</source>
        <translation>the right of user %1 must be Read or Write, not %2</translation>
    </message>
    <message>
        <source>the user %1 is listed twice</source>
        <translation>the user %1 is listed twice</translation>
    </message>
    <message>
        <source>Cannot read the schema file %1.</source>
        <translation>Cannot read the schema file %1.</translation>
    </message>
    <message>
        <source>a field is written as: name, type, size[, Key] (the size may be left out for Date and Boolean)</source>
        <translation>a field is written as: name, type, size[, Key] (the size may be left out for Date and Boolean)</translation>
    </message>
    <message>
        <source>unknown type %1 of field %2 (expected Text, Number, Integer, Decimal(n) with n decimals, Date or Boolean)</source>
        <translation>unknown type %1 of field %2 (expected Text, Number, Integer, Decimal(n) with n decimals, Date or Boolean)</translation>
    </message>
    <message>
        <source>the size of field %1 must be at least %2 for a %3 field, not %4</source>
        <translation>the size of field %1 must be at least %2 for a %3 field, not %4</translation>
    </message>
</context>
<context>
    <name>SqliteDb</name>
    <message>
        <source>cannot bind a value</source>
        <translation>cannot bind a value</translation>
    </message>
    <message>
        <source>cannot open the database %1: %2</source>
        <translation>cannot open the database %1: %2</translation>
    </message>
    <message>
        <source>SQL failed</source>
        <translation>SQL failed</translation>
    </message>
    <message>
        <source>cannot prepare a statement</source>
        <translation>cannot prepare a statement</translation>
    </message>
</context>
<context>
    <name>SqliteRecordStore</name>
    <message>
        <source>%1 second</source>
        <translation>%1 second</translation>
    </message>
    <message>
        <source>%1 seconds</source>
        <translation>%1 seconds</translation>
    </message>
    <message>
        <source>the memory table of %1</source>
        <translation>the memory table of %1</translation>
    </message>
    <message>
        <source>the file %1</source>
        <translation>the file %1</translation>
    </message>
    <message>
        <source>Cannot open the access file %1: the folder %2 must be writable, for the table&apos;s journal beside the file (%3).</source>
        <translation>Cannot open the access file %1: the folder %2 must be writable, for the table&apos;s journal beside the file (%3).</translation>
    </message>
    <message>
        <source>Cannot open the access file %1: %2</source>
        <translation>Cannot open the access file %1: %2</translation>
    </message>
    <message>
        <source>The record storage failed: %1</source>
        <translation>The record storage failed: %1</translation>
    </message>
    <message>
        <source>The table %1 in %2 stayed locked by other writers for %3, so the record was not written; try again.</source>
        <translation>The table %1 in %2 stayed locked by other writers for %3, so the record was not written; try again.</translation>
    </message>
</context>
<context>
    <name>SqliteTableSetup</name>
    <message>
        <source>The table %1 in %2 was not made by this server (it lacks the columns zfd_id and zfd_ver).</source>
        <translation>The table %1 in %2 was not made by this server (it lacks the columns zfd_id and zfd_ver).</translation>
    </message>
    <message>
        <source>The table %1 in %2 holds records with the same key, so its key fields cannot be enforced.</source>
        <translation>The table %1 in %2 holds records with the same key, so its key fields cannot be enforced.</translation>
    </message>
</context>
<context>
    <name>SysErrorMessage</name>
    <message>
        <source>The operation completed successfully.</source>
        <translation>The operation completed successfully.</translation>
    </message>
    <message>
        <source>Incorrect function.</source>
        <translation>Incorrect function.</translation>
    </message>
    <message>
        <source>Not implemented</source>
        <translation>Not implemented</translation>
    </message>
    <message>
        <source>No such interface supported</source>
        <translation>No such interface supported</translation>
    </message>
    <message>
        <source>Invalid pointer</source>
        <translation>Invalid pointer</translation>
    </message>
    <message>
        <source>Operation aborted</source>
        <translation>Operation aborted</translation>
    </message>
    <message>
        <source>Unspecified error</source>
        <translation>Unspecified error</translation>
    </message>
    <message>
        <source>Catastrophic failure</source>
        <translation>Catastrophic failure</translation>
    </message>
    <message>
        <source>Access is denied.</source>
        <translation>Access is denied.</translation>
    </message>
    <message>
        <source>Not enough memory resources are available to complete this operation.</source>
        <translation>Not enough memory resources are available to complete this operation.</translation>
    </message>
    <message>
        <source>The parameter is incorrect.</source>
        <translation>The parameter is incorrect.</translation>
    </message>
    <message>
        <source>Class not registered</source>
        <translation>Class not registered</translation>
    </message>
    <message>
        <source>Class does not support aggregation (or class object is remote)</source>
        <translation>Class does not support aggregation (or class object is remote)</translation>
    </message>
    <message>
        <source>CoInitialize has not been called.</source>
        <translation>CoInitialize has not been called.</translation>
    </message>
    <message>
        <source>Type mismatch.</source>
        <translation>Type mismatch.</translation>
    </message>
    <message>
        <source>Unknown name.</source>
        <translation>Unknown name.</translation>
    </message>
    <message>
        <source>Unknown error 0x%1</source>
        <translation>Unknown error 0x%1</translation>
    </message>
</context>
<context>
    <name>TAccessibleTable</name>
    <message>
        <source>%1, row %2: %3</source>
        <translation>%1, row %2: %3</translation>
    </message>
</context>
<context>
    <name>TApplication</name>
    <message>
        <source>Unknown exception</source>
        <translation>Unknown exception</translation>
    </message>
    <message>
        <source>Application</source>
        <translation>Application</translation>
    </message>
</context>
<context>
    <name>TBitmap</name>
    <message>
        <source>Bitmap data is not a BMP or PNG image</source>
        <translation>Bitmap data is not a BMP or PNG image</translation>
    </message>
    <message>
        <source>Cannot load the image file %1</source>
        <translation>Cannot load the image file %1</translation>
    </message>
    <message>
        <source>Cannot save the image file %1</source>
        <translation>Cannot save the image file %1</translation>
    </message>
</context>
<context>
    <name>TCollection</name>
    <message>
        <source>List index out of bounds (%1)</source>
        <translation>List index out of bounds (%1)</translation>
    </message>
</context>
<context>
    <name>TComponent</name>
    <message>
        <source>List index out of bounds (%1)</source>
        <translation>List index out of bounds (%1)</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid component name</source>
        <translation>&apos;%1&apos; is not a valid component name</translation>
    </message>
    <message>
        <source>A component named %1 already exists</source>
        <translation>A component named %1 already exists</translation>
    </message>
</context>
<context>
    <name>TControl</name>
    <message>
        <source>%1 %2 is out of range: positions and sizes of a control lie from %3 to %4</source>
        <translation>%1 %2 is out of range: positions and sizes of a control lie from %3 to %4</translation>
    </message>
    <message>
        <source>A control cannot be its own parent</source>
        <translation>A control cannot be its own parent</translation>
    </message>
</context>
<context>
    <name>TFields</name>
    <message>
        <source>List index out of bounds (%1)</source>
        <translation>List index out of bounds (%1)</translation>
    </message>
</context>
<context>
    <name>TFont</name>
    <message>
        <source>Font height %1 is out of range: from %2 to %3</source>
        <translation>Font height %1 is out of range: from %2 to %3</translation>
    </message>
    <message>
        <source>Font size %1 is out of range: from %2 to %3</source>
        <translation>Font size %1 is out of range: from %2 to %3</translation>
    </message>
</context>
<context>
    <name>TForm</name>
    <message>
        <source>No form file for the class %1</source>
        <translation>No form file for the class %1</translation>
    </message>
    <message>
        <source>Cannot open file %1</source>
        <translation>Cannot open file %1</translation>
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
        <translation>Customer No.</translation>
    </message>
    <message>
        <source>公司名稱</source>
        <translation>Company</translation>
    </message>
    <message>
        <source>公司地址</source>
        <translation>Company Address</translation>
    </message>
    <message>
        <source>聯絡地址</source>
        <translation>Contact Address</translation>
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
        <translation>Data Filter</translation>
    </message>
    <message>
        <source>條件1.</source>
        <translation>Cond. 1</translation>
    </message>
    <message>
        <source>條件2.</source>
        <translation>Cond. 2</translation>
    </message>
    <message>
        <source>資料過濾指令格式(None SQL Command)</source>
        <translation>Filter line format (not SQL)</translation>
    </message>
    <message>
        <source>說明+,+欄位名稱+,+起始碼+,+結束碼+,+比對碼+,+欄位值+,</source>
        <translation>Desc+,+Field+,+Start+,+End+,+Op+,+Value+,</translation>
    </message>
    <message>
        <source>過濾後的第幾筆資料 : </source>
        <translation>Record no. when filtered : </translation>
    </message>
    <message>
        <source>過濾客戶開始條件,CustNo,1,2,&gt;=,13,</source>
        <translation>Customers from,CustNo,1,2,&gt;=,13,</translation>
    </message>
    <message>
        <source>過濾客戶結束條件,CustNo,1,2,&lt;=,62,</source>
        <translation>Customers to,CustNo,1,2,&lt;=,62,</translation>
    </message>
    <message>
        <source>開始過濾</source>
        <translation>Apply Filter</translation>
    </message>
    <message>
        <source>取消過濾</source>
        <translation>Clear Filter</translation>
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
        <translation>Current Record --&gt;</translation>
    </message>
    <message>
        <source>The table could not be emptied: the server did not delete its records.</source>
        <translation>The table could not be emptied: the server did not delete its records.</translation>
    </message>
    <message>
        <source>These filter lines were not applied:</source>
        <translation>These filter lines were not applied:</translation>
    </message>
    <message numerus="yes">
        <source>%n of %1 rows were not added. %2</source>
        <translation>
            <numerusform>%n of %1 rows was not added. %2</numerusform>
            <numerusform>%n of %1 rows were not added. %2</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TGridCell</name>
    <message>
        <source>資料已經被修改!! 是否要儲存 ??</source>
        <translation>The record was changed!! Save it ??</translation>
    </message>
    <message>
        <source>要修改的這筆資料已經被其他使用者修改過了!!
<byte value="xd"/>準備更新目前最新資料!!</source>
        <translation>Another user has changed the record you are editing!!
<byte value="xd"/>The latest data will be shown!!</translation>
    </message>
</context>
<context>
    <name>TGridColumns</name>
    <message>
        <source>TGridColumns needs an item class derived from TColumnItem</source>
        <translation>TGridColumns needs an item class derived from TColumnItem</translation>
    </message>
</context>
<context>
    <name>TMenuItem</name>
    <message>
        <source>Menu index out of range (%1)</source>
        <translation>Menu index out of range (%1)</translation>
    </message>
    <message>
        <source>A menu item cannot contain itself</source>
        <translation>A menu item cannot contain itself</translation>
    </message>
</context>
<context>
    <name>TPersistent</name>
    <message>
        <source>Cannot assign a %1 to a %2</source>
        <translation>Cannot assign a %1 to a %2</translation>
    </message>
</context>
<context>
    <name>TPropertyEditor</name>
    <message>
        <source>A property editor needs a selected component</source>
        <translation>A property editor needs a selected component</translation>
    </message>
    <message>
        <source>List index out of bounds (%1)</source>
        <translation>List index out of bounds (%1)</translation>
    </message>
</context>
<context>
    <name>TStrings</name>
    <message>
        <source>List index out of bounds (%1)</source>
        <translation>List index out of bounds (%1)</translation>
    </message>
    <message>
        <source>Operation not allowed on sorted list</source>
        <translation>The operation is not allowed on a sorted list</translation>
    </message>
    <message>
        <source>String list does not allow duplicates</source>
        <translation>String list does not allow duplicates</translation>
    </message>
</context>
<context>
    <name>TTable</name>
    <message>
        <source>Cannot read the table: %1</source>
        <translation>Cannot read the table: %1</translation>
    </message>
    <message>
        <source>Cannot change %1 of an open table</source>
        <translation>Cannot change %1 of an open table</translation>
    </message>
    <message>
        <source>the database name</source>
        <translation>the database name</translation>
    </message>
    <message>
        <source>the table name</source>
        <translation>the table name</translation>
    </message>
    <message>
        <source>Unknown database alias: %1</source>
        <translation>Unknown database alias: %1</translation>
    </message>
    <message>
        <source>Table does not exist: %1</source>
        <translation>Table does not exist: %1</translation>
    </message>
    <message>
        <source>Cannot open %1: %2</source>
        <translation>Cannot open %1: %2</translation>
    </message>
    <message>
        <source>Table %1 does not exist in %2</source>
        <translation>Table %1 does not exist in %2</translation>
    </message>
    <message>
        <source>Cannot perform this operation on a closed dataset</source>
        <translation>Cannot perform this operation on a closed dataset</translation>
    </message>
</context>
<context>
    <name>TTableSession</name>
    <message>
        <source>number %1 (without description)</source>
        <translation>number %1 (without description)</translation>
    </message>
    <message>
        <source>insert</source>
        <translation>insert</translation>
    </message>
    <message>
        <source>edit</source>
        <translation>edit</translation>
    </message>
    <message>
        <source>delete</source>
        <translation>delete</translation>
    </message>
    <message>
        <source>post</source>
        <translation>post</translation>
    </message>
    <message>
        <source>access file</source>
        <translation>access file</translation>
    </message>
    <message>
        <source>schema file</source>
        <translation>schema file</translation>
    </message>
    <message>
        <source>The %1 name %2... is refused: it holds a NUL character.</source>
        <translation>The %1 name %2... is refused: it holds a NUL character.</translation>
    </message>
    <message>
        <source>A notification handler of the record server failed.</source>
        <translation>A notification handler of the record server failed.</translation>
    </message>
    <message>
        <source>The access user is refused: %1.</source>
        <translation>The access user is refused: %1.</translation>
    </message>
    <message>
        <source>The read-only switch can be changed only while the table is closed.</source>
        <translation>The read-only switch can be changed only while the table is closed.</translation>
    </message>
    <message>
        <source>No schema file is named (set SchemaFileName).</source>
        <translation>No schema file is named (set SchemaFileName).</translation>
    </message>
    <message>
        <source>The schema file %1 cannot be read: %2 is %3, not a file.</source>
        <translation>The schema file %1 cannot be read: %2 is %3, not a file.</translation>
    </message>
    <message>
        <source> or </source>
        <translation> or </translation>
    </message>
    <message>
        <source>The schema file %1 was not found (looked for %2).</source>
        <translation>The schema file %1 was not found (looked for %2).</translation>
    </message>
    <message>
        <source>The table %1 has no field %2.</source>
        <translation>The table %1 has no field %2.</translation>
    </message>
    <message>
        <source>The table is not open.</source>
        <translation>The table is not open.</translation>
    </message>
    <message>
        <source>The user %1 may only read the table %2: cannot %3 a record.</source>
        <translation>The user %1 may only read the table %2: cannot %3 a record.</translation>
    </message>
    <message>
        <source>The table %1 was opened read-only: cannot %2 a record.</source>
        <translation>The table %1 was opened read-only: cannot %2 a record.</translation>
    </message>
    <message>
        <source>There is no current record to %1.</source>
        <translation>There is no current record to %1.</translation>
    </message>
    <message>
        <source>No access user is given (set AccessUser): the table %1 (schema file %2) may be opened only by the users it lists.</source>
        <translation>No access user is given (set AccessUser): the table %1 (schema file %2) may be opened only by the users it lists.</translation>
    </message>
    <message>
        <source>The user %1 may not open the table %2 (schema file %3).</source>
        <translation>The user %1 may not open the table %2 (schema file %3).</translation>
    </message>
    <message>
        <source>The record was deleted by another user, so the %1 was refused. The record now under the cursor is shown.</source>
        <translation>The record was deleted by another user, so the %1 was refused. The record now under the cursor is shown.</translation>
    </message>
    <message>
        <source>The record was changed by another user since it was read, so the %1 was refused. Its current values are shown; try again.</source>
        <translation>The record was changed by another user since it was read, so the %1 was refused. Its current values are shown; try again.</translation>
    </message>
    <message>
        <source>There is no field number %1: the table %2 has %3 fields, numbered from 0.</source>
        <translation>There is no field number %1: the table %2 has %3 fields, numbered from 0.</translation>
    </message>
    <message>
        <source>No field name is given for the value %1.</source>
        <translation>No field name is given for the value %1.</translation>
    </message>
    <message>
        <source>The field %1 cannot be set: the table is not in Edit or Insert (call Edit or Insert first).</source>
        <translation>The field %1 cannot be set: the table is not in Edit or Insert (call Edit or Insert first).</translation>
    </message>
    <message>
        <source>A record became pending while the insert began; nothing was inserted.</source>
        <translation>A record became pending while the insert began; nothing was inserted.</translation>
    </message>
    <message>
        <source>A new record is being inserted: post or cancel it before editing another.</source>
        <translation>A new record is being inserted: post or cancel it before editing another.</translation>
    </message>
    <message>
        <source>The record was changed or deleted by another user since it was read, so it was not deleted.</source>
        <translation>The record was changed or deleted by another user since it was read, so it was not deleted.</translation>
    </message>
    <message>
        <source>The values of the bound controls could not be collected.</source>
        <translation>The values of the bound controls could not be collected.</translation>
    </message>
    <message>
        <source>The record was posted or cancelled while its post was being prepared.</source>
        <translation>The record was posted or cancelled while its post was being prepared.</translation>
    </message>
    <message>
        <source>The record was changed or deleted by another user since it was read, so the edit was not posted (that would overwrite the other user&apos;s change). Cancel the edit to see the record as it is now.</source>
        <translation>The record was changed or deleted by another user since it was read, so the edit was not posted (that would overwrite the other user&apos;s change). Cancel the edit to see the record as it is now.</translation>
    </message>
    <message>
        <source>The trigger %1 failed, so the %2 was not done.</source>
        <translation>The trigger %1 failed, so the %2 was not done.</translation>
    </message>
    <message>
        <source>The trigger %1 stopped the %2.</source>
        <translation>The trigger %1 stopped the %2.</translation>
    </message>
    <message>
        <source>The %1 was done, but the trigger %2 that runs after it failed.</source>
        <translation>The %1 was done, but the trigger %2 that runs after it failed.</translation>
    </message>
</context>
<context>
    <name>TWinControl</name>
    <message>
        <source>List index out of bounds (%1)</source>
        <translation>List index out of bounds (%1)</translation>
    </message>
    <message>
        <source>Cannot focus a disabled or invisible window</source>
        <translation>Cannot focus a disabled or invisible window</translation>
    </message>
</context>
<context>
    <name>TZopFileDBEdit</name>
    <message>
        <source>Edits the field %1</source>
        <translation>Edits the field %1</translation>
    </message>
</context>
<context>
    <name>TZopFileDBNavigator</name>
    <message>
        <source>Record navigator</source>
        <translation>Record navigator</translation>
    </message>
    <message>
        <source>First</source>
        <translation>First</translation>
    </message>
    <message>
        <source>First record</source>
        <translation>First record</translation>
    </message>
    <message>
        <source>Prior</source>
        <translation>Prior</translation>
    </message>
    <message>
        <source>Prior record</source>
        <translation>Prior record</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>Next record</source>
        <translation>Next record</translation>
    </message>
    <message>
        <source>Last</source>
        <translation>Last</translation>
    </message>
    <message>
        <source>Last record</source>
        <translation>Last record</translation>
    </message>
    <message>
        <source>Insert</source>
        <translation>Insert</translation>
    </message>
    <message>
        <source>Insert a record</source>
        <translation>Insert a record</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>Edit the record</source>
        <translation>Edit the record</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>Delete the record</source>
        <translation>Delete the record</translation>
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
        <translation>Post the record</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Cancel the changes</source>
        <translation>Cancel the changes</translation>
    </message>
    <message>
        <source>確定要刪除資料??</source>
        <translation>Delete the record??</translation>
    </message>
</context>
<context>
    <name>TZopFileDataSet</name>
    <message>
        <source>The dataset %1 cannot be opened: %2</source>
        <translation>The dataset %1 cannot be opened: %2</translation>
    </message>
    <message>
        <source>%1: the dataset %2 has no server object</source>
        <translation>%1: the dataset %2 has no server object</translation>
    </message>
    <message>
        <source>%1: the dataset %2 is not open (set Active to true)</source>
        <translation>%1: the dataset %2 is not open (set Active to true)</translation>
    </message>
    <message>
        <source>Refresh: the record being inserted must be posted or cancelled first</source>
        <translation>Refresh: the record being inserted must be posted or cancelled first</translation>
    </message>
    <message>
        <source>Refresh: the record being edited must be posted or cancelled first</source>
        <translation>Refresh: the record being edited must be posted or cancelled first</translation>
    </message>
    <message>
        <source>FieldByName: no field name is given</source>
        <translation>FieldByName: no field name is given</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
</context>
<context>
    <name>TZopFileDataSource</name>
    <message>
        <source>%1 cannot show the field &apos;%2&apos;: %3</source>
        <translation>%1 cannot show the field &apos;%2&apos;: %3</translation>
    </message>
</context>
<context>
    <name>TZopFileDbControlFieldName</name>
    <message>
        <source>是否要產生標題(TLabel)??</source>
        <translation>Create a caption label (TLabel)??</translation>
    </message>
    <message>
        <source>標題內容(TLabel.Caption)</source>
        <translation>Caption (TLabel.Caption)</translation>
    </message>
    <message>
        <source>輸入標題內容</source>
        <translation>Enter the caption</translation>
    </message>
</context>
<context>
    <name>TZopFileField</name>
    <message>
        <source>Field %1: %2</source>
        <translation>Field %1: %2</translation>
    </message>
    <message>
        <source>the dataset %1 is not open</source>
        <translation>the dataset %1 is not open</translation>
    </message>
    <message>
        <source>the record being inserted is read once it is posted</source>
        <translation>the record being inserted is read once it is posted</translation>
    </message>
    <message>
        <source>it has no value to read as %1</source>
        <translation>it has no value to read as %1</translation>
    </message>
    <message>
        <source>a whole number</source>
        <translation>a whole number</translation>
    </message>
    <message>
        <source>the value &quot;%1&quot; is not a whole number</source>
        <translation>the value &quot;%1&quot; is not a whole number</translation>
    </message>
    <message>
        <source>a number</source>
        <translation>a number</translation>
    </message>
    <message>
        <source>the value &quot;%1&quot; is not a number</source>
        <translation>the value &quot;%1&quot; is not a number</translation>
    </message>
    <message>
        <source>a number is finite, %1 is not</source>
        <translation>a number is finite, %1 is not</translation>
    </message>
    <message>
        <source>%1 is not a whole number</source>
        <translation>%1 is not a whole number</translation>
    </message>
    <message>
        <source>True or False</source>
        <translation>True or False</translation>
    </message>
    <message>
        <source>the value &quot;%1&quot; is not True or False</source>
        <translation>the value &quot;%1&quot; is not True or False</translation>
    </message>
    <message>
        <source>a date</source>
        <translation>a date</translation>
    </message>
    <message>
        <source>the value &quot;%1&quot; is not a date written YYYY-MM-DD</source>
        <translation>the value &quot;%1&quot; is not a date written YYYY-MM-DD</translation>
    </message>
    <message>
        <source>the date is outside the years 0001 to 9999</source>
        <translation>the date is outside the years 0001 to 9999</translation>
    </message>
</context>
<context>
    <name>TextUtils</name>
    <message>
        <source>&apos;%1&apos; is not a valid integer value</source>
        <translation>&apos;%1&apos; is not a valid integer value</translation>
    </message>
</context>
<context>
    <name>Translations</name>
    <message>
        <source>The language %1 cannot be chosen before the application object exists.</source>
        <translation>The language %1 cannot be chosen before the application object exists.</translation>
    </message>
</context>
<context>
    <name>TypeInfo</name>
    <message>
        <source>Value %1 is out of range for %2-bit integers</source>
        <translation>Value %1 is out of range for %2-bit integers</translation>
    </message>
    <message>
        <source>Property %1 does not exist in %2</source>
        <translation>Property %1 does not exist in %2</translation>
    </message>
    <message>
        <source>Property %1 of %2 is read-only</source>
        <translation>Property %1 of %2 is read-only</translation>
    </message>
</context>
<context>
    <name>ValueText</name>
    <message>
        <source>which is not a number</source>
        <translation>which is not a number</translation>
    </message>
    <message>
        <source>which has more than the %1 digits before the point or %2 after it that a number may have</source>
        <translation>which has more than the %1 digits before the point or %2 after it that a number may have</translation>
    </message>
</context>
<context>
    <name>ZopFileDBDemo</name>
    <message>
        <source>There is no translation for the language %1.</source>
        <translation>There is no translation for the language %1.</translation>
    </message>
</context>
</TS>
