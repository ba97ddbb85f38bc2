#pragma once

// Every object type the pages reach, registered in one place.
void registerQmlTypes();
