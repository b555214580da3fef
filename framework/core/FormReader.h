#pragma once
// Loading a form file (the framework's text form format) into a root component.
//
//   object Form1: TForm1
//     Caption = 'Demo'
//     object Button1: TButton
//       OnClick = Button1Click
//     end
//   end
//
// The top object describes Root itself (its class must be Root's class or an ancestor of
// it); nested objects are created with Root as their owner and the enclosing object as
// their parent component. Loading follows the framework's order: each component is
// created (its owner notifies the components it already holds with opInsert), named,
// marked csLoading, its properties are read in file order, then its children follow;
// component references and event handlers are resolved after the whole file is read, in
// the order read, while every component is still loading; then Loaded() runs on every
// component (Root first) in creation order.
//
// Errors raise EReadError whose message names the file, the line and the problem; the
// components created by a failed load are freed.
#include <string_view>

#include "framework/core/TComponent.h"

struct TFormReadOptions {
    bool Designing = false;  // put Root and every created component into csDesigning
    // Root stands in for a form class that this program does not know (a plain form for a
    // tool that works on any form): the top object's class is taken as it is, and the
    // handlers the file names, which Root cannot publish, are left unassigned.
    bool StandIn = false;
};

void ReadFormText(std::string_view Text, TComponent* Root, const AnsiString& FileName,
                  const TFormReadOptions& Options = {});
void ReadFormFile(const AnsiString& Path, TComponent* Root, const TFormReadOptions& Options = {});
// The class name of the top object of a form text ("TForm1"), or empty when the text does
// not start with an object header.
AnsiString FormTextClassName(std::string_view Text);
