// A folder that the layers do not name.
#pragma once
