// Builds a live component tree from form data: the root object record is applied to a form that
// exists already, its child records create components by class name through the registry (or, in
// a derived form's data, find the inherited ones by name), and their properties are set through
// the published property records.
//
// Every component a form's data creates is owned by the root: the nesting of object records does
// not make an owner tree, and this layer has no parent relation between controls, so a record's
// place in the nesting is read and not kept. Components are named before their properties are set.
//
// Properties: a dotted name walks into the objects of object-valued properties (Font.Name); the
// pseudo-property Strings of a string list replaces its lines by the list value; a collection value
// replaces the items of the collection held. Texts of every kind go to the string kinds, integers
// and floats to theirs, identifiers to enumerations and Booleans, sets to sets as bit masks. An event
// is bound by name to a method that the root publishes; a component reference is resolved, by
// name under the root (dotted for a component of a component), once the whole form has been read.
// Binary data is skipped, whatever the property.
//
// Errors: a fault of the data raises EReadError, as do a class that is not registered as a creatable
// component, an inherited record without its component, an unknown method and a reference to no
// component. An unknown property raises EPropertyError "Property %s does not exist" with the dotted
// name; a value the property does not take, the property errors of the accessors. On any error the
// components made by the load are deleted again; the values it has already set stay set.
#pragma once

#include "Classes.h"
#include "Controls.h"
#include "Os.h"
#include "Streams.h"

// Reads one form stream (signature and root record) onto root. The root record's class must be
// root's class or one of its ancestors, else EReadError.
void ReadForm(TComponent& root, TStream& stream);

// Applies the form resources of form's class chain, root-most first, each found as an RCDATA
// resource of module named after its class in capitals: for TMainForm derived from TMainFormBase,
// TMAINFORMBASE and then TMAINFORM. A class of the chain without a resource is skipped; the chain
// stops before TForm. In a derived form's resource, inherited records apply their properties to
// the components that an ancestor's resource made. True when a resource has been applied.
bool LoadFormFromResources(TForm& form, os::ModuleHandle module);
