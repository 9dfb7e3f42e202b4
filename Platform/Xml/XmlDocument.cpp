#include "XmlDocument.h"
