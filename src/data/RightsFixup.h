#pragma once
// Brings the recipes' rights into a known state at start-up: when recipe 1 is not
// user-modifiable, or there is no recipe 1, every recipe becomes user-modifiable.
// Raises DatabaseError when the table cannot be read or written (the caller reports it).
void FixRecipeRights();
