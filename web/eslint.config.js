// The linter of the page's JavaScript and its tests (npm run lint): the
// recommended rules, ES modules, the browser's and node's globals, and at
// most five parameters a function (more travel together as an object).
import js from '@eslint/js';
import globals from 'globals';

export default [
  js.configs.recommended,
  {
    files: ['**/*.js', '**/*.mjs'],
    languageOptions: {
      ecmaVersion: 2022,
      sourceType: 'module',
      globals: { ...globals.browser, ...globals.node },
    },
    rules: { 'max-params': ['error', 5] },
  },
];
