// command scripts: the line language and its interpreter.
#pragma once
