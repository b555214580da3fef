#pragma once
// Design-time registration of the suite: the components on the palette page
// "ZopFileDBSuit" and the field-name editor on every DataField property.
void Register();
